#include "platform/CSystem.h"

#include "foundation/CError.h"
#include "foundation/CFileNotFoundError.h"
#include "foundation/CStringFormat.h"
#include "foundation/CURIError.h"
#include "foundation/IStringLocalizer.h"
#include "foundation/sync/throwSystemError.h"
#include "platform/CRandomGenerator.h"

namespace lumo {

namespace {

constexpr int maxUniqueNameTries = 10000;

[[noreturn]] void throwFileFailure(const String& key, const String& defaultText, const IURI& file, int error)
{
    // The URI comes from the caller, so it is filled in last: whatever it
    // holds is never taken for a placeholder.
    const String description = localize(key, defaultText).replace("%MSG%", getSystemErrorText(error));
    throw CError(description.replace("%FILE%", file.getText()));
}

} // namespace

void CSystem::throwFailure(const String& descriptionTemplate, int error)
{
    throw CError(descriptionTemplate.replace("%ERRORDESC%", getSystemErrorText(error)));
}

bool CSystem::fileExists(const IURI& file)
{
    SEntry entry;
    try {
        return readEntry(file, entry) == 0 && !entry.bFolder;
    } catch (const CURIError&) {
        return false;
    }
}

int64_t CSystem::getFileSize(const IURI& file)
{
    SEntry entry;
    const int error = readEntry(file, entry);
    if (error != 0) {
        if (meansNotFound(error))
            throw CFileNotFoundError(&file);
        throwFileFailure("lumo.CSystem.GetFileSizeFailed", "Error reading the size of the file '%FILE%' (%MSG%).", file,
                         error);
    }
    if (entry.bFolder)
        throw CFileNotFoundError(&file);
    return entry.size;
}

bool CSystem::deleteFile(const IURI& file)
{
    const int error = removeFile(file);
    if (error == 0)
        return true;
    if (meansNotFound(error))
        return false;
    throwFileFailure("lumo.CSystem.DeleteFileFailed", "Error deleting the file '%FILE%' (%MSG%).", file, error);
}

P<CURI> CSystem::createUniqueFile(const IURI& folder, const String& prefix, const String& suffix)
{
    return createUniqueEntry(folder, prefix, suffix, false);
}

P<CURI> CSystem::createUniqueFolder(const IURI& folder, const String& prefix, const String& suffix)
{
    return createUniqueEntry(folder, prefix, suffix, true);
}

P<CURI> CSystem::createUniqueEntry(const IURI& folder, const String& prefix, const String& suffix, bool bFolder)
{
    folder.getNativePath(); // refuses a folder that is not local before any try
    const String nameFormat = String::fromLatin1(bFolder ? "%s%08X%s/" : "%s%08X%s");
    int error = 0;
    for (int tries = 0; tries < maxUniqueNameTries && (tries == 0 || meansExists(error)); ++tries) {
        const String name = CStringFormat(nameFormat)
                                .pushString(prefix)
                                .pushInteger(getRandomGenerator()->next(), false)
                                .pushString(suffix)
                                .getResult();
        P<CURI> candidate = make<CURI>(CURI::escape(name, "/"), &folder);
        error = createEntry(*candidate, bFolder);
        if (error == 0)
            return candidate;
    }
    const String description =
        bFolder ? localize("lumo.CSystem.CreateUniqueFolderFailed", "Error creating unique folder name.")
                : localize("lumo.CSystem.CreateUniqueFileFailed", "Error creating unique file name.");
    throwFailure(description + " %ERRORDESC%", error);
}

} // namespace lumo
