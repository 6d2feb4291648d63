#include "remote/CRemoteVoid.h"

namespace lumo {

CRemoteVoid::CRemoteVoid(const String& name) : CRemoteProc(name) {}

bool CRemoteVoid::isVoid() const { return true; }

} // namespace lumo
