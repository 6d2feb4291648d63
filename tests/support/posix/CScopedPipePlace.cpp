#include "support/CScopedPipePlace.h"

#include "platform/CScopedPipeFolder.h"

namespace lumo {

// A fresh pipe folder keeps the names apart.
class CScopedPipePlace::CFolder : public CScopedPipeFolder {};

CScopedPipePlace::CScopedPipePlace() : m_folder(std::make_unique<CFolder>()) {}

CScopedPipePlace::~CScopedPipePlace() = default;

} // namespace lumo
