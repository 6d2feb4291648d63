#include "foundation/CFileNotFoundError.h"

#include "foundation/IStringLocalizer.h"

namespace lumo {

namespace {

String describe(const IURI* uri)
{
    if (!uri)
        return localize("lumo.CFileNotFoundError.GeneralDesc", "The file was not found.");
    return localize("lumo.CFileNotFoundError.Desc", "The file '%FILE%' was not found.")
        .replace("%FILE%", uri->getDisplayText());
}

} // namespace

CFileNotFoundError::CFileNotFoundError(const IURI* uri) : CFileError(uri, describe(uri)) {}

P<CException> CFileNotFoundError::clone() const { return make<CFileNotFoundError>(*this); }

} // namespace lumo
