#include "platform/windows/CProcessFactory.h"

#include "foundation/CURIFormatError.h"
#include "foundation/CURITypeNotSupportedError.h"
#include "foundation/castObject.h"
#include "foundation/windows/toWide.h"
#include "platform/IPathes.h"
#include "platform/windows/CProcess.h"

#include <optional>

namespace lumo::win32 {

namespace {

// The native path a URI names; nothing when it names no local file: the
// path service answers "file" URIs and those without a scheme.
std::optional<std::wstring> localPathOf(const IURI& uri)
{
    const String path = getPathes()->getNativePath(uri, false);
    if (path.isEmpty())
        return std::nullopt;
    // A zero would cut the path short in every system call.
    if (path->indexOfChar(0) >= 0)
        throw CURIFormatError(&uri);
    return toWide(path);
}

std::wstring folderPathOf(const PFrail<IURI>& folder)
{
    if (!folder)
        return std::wstring();
    std::optional<std::wstring> path = localPathOf(*folder.get());
    if (!path)
        throw CURITypeNotSupportedError(folder.get());
    return *path;
}

} // namespace

P<IProcess> CProcessFactory::tryCreateProcess(const P<IURI>& executable, const String& arguments,
                                              const PFrail<IURI>& workingDirectory, const PFrail<IBase>& other,
                                              int32_t priority)
{
    const std::optional<std::wstring> programPath = executable ? localPathOf(*executable) : std::nullopt;
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

} // namespace lumo::win32

namespace lumo {

P<IProcessFactory> createPlatformProcessFactory()
{
    return make<win32::CProcessFactory>();
}

} // namespace lumo
