#include "foundation/CStringSlice.h"

#include <utility>

namespace lumo {

CStringSlice::CStringSlice(P<IString> source, const void* data, int32_t byteLength, int32_t charCount,
                           bool nullTerminated)
    : CString(data, byteLength, charCount, nullTerminated, source->getEncoding(), Mode::borrow),
      m_source(std::move(source))
{
}

const IString* CStringSlice::getDataOwner() const { return m_source.get(); }

} // namespace lumo
