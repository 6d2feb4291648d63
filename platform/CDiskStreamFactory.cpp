#include "platform/CDiskStreamFactory.h"

#include "foundation/equalsIgnoringASCIICase.h"
#include "platform/CDiskIOStream.h"
#include "platform/createDiskStreamFactory.h"

namespace lumo {

namespace {

bool isFileURI(const P<IURI>& uri) { return uri && equalsIgnoringASCIICase(uri->getScheme().toUTF8(), "file"); }

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

P<IStreamFactory> createDiskStreamFactory() { return make<CDiskStreamFactory>(); }

} // namespace lumo
