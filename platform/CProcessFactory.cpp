#include "platform/CProcessFactory.h"

#include "foundation/CURIFormatError.h"
#include "foundation/CURITypeNotSupportedError.h"
#include "foundation/castObject.h"
#include "foundation/equalsIgnoringASCIICase.h"

#include <optional>

namespace lumo {

namespace {

// The native path a URI names; nothing when it names no local file.
std::optional<String> localPathOf(const IURI& uri)
{
    if (uri.isRelative()) {
        const String path = uri.getPath();
        // A zero would cut the path short in every system call.
        if (path->indexOfChar(0) >= 0)
            throw CURIFormatError(&uri);
        return path;
    }
    if (!equalsIgnoringASCIICase(uri.getScheme().toUTF8(), "file"))
        return std::nullopt;
    try {
        return uri.getNativePath();
    } catch (const CURITypeNotSupportedError&) {
        return std::nullopt; // a host the platform's paths cannot reach
    }
}

String folderPathOf(const PFrail<IURI>& folder)
{
    if (!folder)
        return String();
    std::optional<String> path = localPathOf(*folder.get());
    if (!path)
        throw CURITypeNotSupportedError(folder.get());
    return *path;
}

} // namespace

P<IProcess> CProcessFactory::tryCreateProcess(const P<IURI>& executable, const String& arguments,
                                              const PFrail<IURI>& workingDirectory, const PFrail<IBase>& other,
                                              int32_t priority)
{
    const std::optional<String> programPath = executable ? localPathOf(*executable) : std::nullopt;
    if (!programPath)
        return nullptr;
    const P<CProcessOptions> options = castObject<CProcessOptions>(other.get(), false);
    return startProgram(*programPath, arguments, folderPathOf(workingDirectory), priority, options.get());
}

P<IProcess> CProcessFactory::createProcess(const P<IURI>& executable, const String& arguments,
                                           const PFrail<IURI>& workingDirectory, const PFrail<IBase>& other,
                                           int32_t priority)
{
    return createProcessOrThrow(*this, executable, arguments, workingDirectory, other, priority);
}

P<IProcessFactory> createPlatformProcessFactory() { return make<CProcessFactory>(); }

} // namespace lumo
