#include "platform/windows/CDiskStreamFactory.h"

#include "foundation/equalsIgnoringASCIICase.h"
#include "platform/createDiskStreamFactory.h"
#include "platform/windows/CDiskIOStream.h"

namespace lumo::win32 {

namespace {

bool isFileURI(const P<IURI>& uri)
{
    return uri && equalsIgnoringASCIICase(uri->getScheme().toUTF8(), "file");
}

} // namespace

P<IInStream> CDiskStreamFactory::openInStream(const P<IURI>& uri)
{
    if (!isFileURI(uri))
        return nullptr;
    return make<CDiskInStream>(uri);
}

P<IOutStream> CDiskStreamFactory::openOutStream(const P<IURI>& uri)
{
    if (!isFileURI(uri))
        return nullptr;
    return make<CDiskOutStream>(uri);
}

P<IIOStream> CDiskStreamFactory::openIOStream(const P<IURI>& uri)
{
    if (!isFileURI(uri))
        return nullptr;
    return make<CDiskIOStream>(uri);
}

} // namespace lumo::win32

namespace lumo {

P<IStreamFactory> createDiskStreamFactory()
{
    return make<win32::CDiskStreamFactory>();
}

} // namespace lumo
