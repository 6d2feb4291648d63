#include "platform/posix/CProcessFactory.h"

#include "foundation/CURIFormatError.h"
#include "foundation/CURITypeNotSupportedError.h"
#include "foundation/castObject.h"
#include "platform/posix/CProcess.h"

#include <optional>
#include <strings.h>

namespace lumo::posix {

namespace {

// The native path a URI names; nothing when it names no local file.
std::optional<std::string> localPathOf(const IURI& uri)
{
    if (uri.isRelative()) {
        const String path = uri.getPath();
        // A zero would cut the path short in every system call.
        if (path->indexOfChar(0) >= 0)
            throw CURIFormatError(&uri);
        return path.toUTF8();
    }
    if (strcasecmp(uri.getScheme().toUTF8().c_str(), "file") != 0)
        return std::nullopt;
    try {
        return uri.getNativePath().toUTF8();
    } catch (const CURITypeNotSupportedError&) {
        return std::nullopt; // a file on another host
    }
}

std::string folderPathOf(const PFrail<IURI>& folder)
{
    if (!folder)
        return std::string();
    std::optional<std::string> path = localPathOf(*folder.get());
    if (!path)
        throw CURITypeNotSupportedError(folder.get());
    return *path;
}

} // namespace

P<IProcess> CProcessFactory::tryCreateProcess(const P<IURI>& executable, const String& arguments,
                                              const PFrail<IURI>& workingDirectory, const PFrail<IBase>& other,
                                              int32_t priority)
{
    const std::optional<std::string> programPath = executable ? localPathOf(*executable) : std::nullopt;
    if (!programPath)
        return nullptr;
    const P<CProcessOptions> options = castObject<CProcessOptions>(other.get(), false);
    return make<CProcess>(*programPath, arguments, folderPathOf(workingDirectory), priority, options.get());
}

P<IProcess> CProcessFactory::createProcess(const P<IURI>& executable, const String& arguments,
                                           const PFrail<IURI>& workingDirectory, const PFrail<IBase>& other,
                                           int32_t priority)
{
    return createProcessOrThrow(*this, executable, arguments, workingDirectory, other, priority);
}

} // namespace lumo::posix

namespace lumo {

P<IProcessFactory> createPlatformProcessFactory()
{
    return make<posix::CProcessFactory>();
}

} // namespace lumo
