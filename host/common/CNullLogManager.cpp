#include "host/common/CNullLogManager.h"

namespace nebo::common {

void CNullLogManager::setLogLevel(int32_t) {}

int32_t CNullLogManager::getLogLevel() { return 2; }

void CNullLogManager::logElement(int32_t, const tinyxml2::XMLElement&) {}

void CNullLogManager::logText(int32_t, const lumo::String&) {}

void CNullLogManager::logXml(int32_t, const lumo::String&) {}

lumo::String CNullLogManager::getLogText() { return lumo::String(); }

void CNullLogManager::clearLog() {}

} // namespace nebo::common
