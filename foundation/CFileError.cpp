#include "foundation/CFileError.h"

namespace lumo {

CFileError::CFileError(const String& description, const IURI* uri) : CURIError(uri, fillURI(description, uri)) {}

CFileError::CFileError(const IURI* uri, const String& finishedDescription) : CURIError(uri, finishedDescription) {}

P<CException> CFileError::clone() const { return make<CFileError>(*this); }

} // namespace lumo
