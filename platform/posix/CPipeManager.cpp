#include "platform/posix/CPipeManager.h"

#include "platform/posix/CPipeAddress.h"
#include "platform/posix/CPipeClient.h"
#include "platform/posix/CPipeServer.h"

namespace lumo::posix {

P<IPipeServer> CPipeManager::createServer(const String& name) { return make<CPipeServer>(name); }

P<IPipeClient> CPipeManager::createClient(const String& name) { return make<CPipeClient>(name); }

void CPipeManager::checkName(const String& name) { CPipeAddress{name}; }

} // namespace lumo::posix

namespace lumo {

P<IPipeManager> createPipeManager() { return make<posix::CPipeManager>(); }

} // namespace lumo
