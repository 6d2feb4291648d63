#include "platform/windows/CPipeManager.h"

#include "platform/windows/CPipeClient.h"
#include "platform/windows/CPipeServer.h"
#include "platform/windows/toPipePath.h"

namespace lumo::win32 {

P<IPipeServer> CPipeManager::createServer(const String& name) { return make<CPipeServer>(name); }

P<IPipeClient> CPipeManager::createClient(const String& name) { return make<CPipeClient>(name); }

void CPipeManager::checkName(const String& name) { toPipePath(name); }

} // namespace lumo::win32

namespace lumo {

P<IPipeManager> createPipeManager() { return make<win32::CPipeManager>(); }

} // namespace lumo
