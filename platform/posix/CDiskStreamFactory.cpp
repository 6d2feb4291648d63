#include "platform/posix/CDiskStreamFactory.h"

#include "platform/createDiskStreamFactory.h"
#include "platform/posix/CDiskIOStream.h"

#include <strings.h>

namespace lumo::posix {

namespace {

bool isFileURI(const P<IURI>& uri)
{
    return uri && strcasecmp(uri->getScheme().toUTF8().c_str(), "file") == 0;
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

} // namespace lumo::posix

namespace lumo {

P<IStreamFactory> createDiskStreamFactory()
{
    return make<posix::CDiskStreamFactory>();
}

} // namespace lumo
