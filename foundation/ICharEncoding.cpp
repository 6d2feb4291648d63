#include "foundation/ICharEncoding.h"

#include "foundation/CCPCharEncoding.h"
#include "foundation/CLatin1CharEncoding.h"
#include "foundation/CUTF16CharEncoding.h"
#include "foundation/CUTF32CharEncoding.h"
#include "foundation/CUTF8CharEncoding.h"
#include "foundation/TSingleton.h"

namespace lumo {

namespace {

template <class Encoding> P<ICharEncoding> createEncoding() { return make<Encoding>(); }

TSingleton<ICharEncoding> latin1Encoding(&createEncoding<CLatin1CharEncoding>);
TSingleton<ICharEncoding> utf8Encoding(&createEncoding<CUTF8CharEncoding>);
TSingleton<ICharEncoding> utf16Encoding(&createEncoding<CUTF16CharEncoding>);
TSingleton<ICharEncoding> utf32Encoding(&createEncoding<CUTF32CharEncoding>);
TSingleton<ICharEncoding> codePageEncoding(&createEncoding<CCPCharEncoding>);

} // namespace

P<ICharEncoding> getLatin1Encoding() { return latin1Encoding.get(); }

P<ICharEncoding> getUTF8Encoding() { return utf8Encoding.get(); }

P<ICharEncoding> getUTF16Encoding() { return utf16Encoding.get(); }

P<ICharEncoding> getUTF32Encoding() { return utf32Encoding.get(); }

P<ICharEncoding> getCodePageEncoding() { return codePageEncoding.get(); }

P<ICharEncoding> getCharEncoding(uint32_t tag)
{
    switch (tag) {
    case ICharEncoding::latin1Tag:
        return getLatin1Encoding();
    case ICharEncoding::utf8Tag:
        return getUTF8Encoding();
    case ICharEncoding::utf16Tag:
        return getUTF16Encoding();
    case ICharEncoding::utf32Tag:
        return getUTF32Encoding();
    case ICharEncoding::codePageTag:
        return getCodePageEncoding();
    default:
        return nullptr;
    }
}

} // namespace lumo
