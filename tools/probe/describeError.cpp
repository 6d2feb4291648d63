#include "tools/probe/describeError.h"

#include "host/master/CSlaveError.h"
#include "tools/probe/cutForDisplay.h"

namespace nebo::probe {

namespace {

// What is shown of an error text unless --verbose asks for all of it.
constexpr size_t shownErrorBytes = 4096;
constexpr size_t shownErrorLines = 40;

} // namespace

std::string describeError(const lumo::CException& error, bool bVerbose)
{
    const std::string description = error.getDescription()->toUTF8();
    if (bVerbose)
        return description;
    const auto* slaveError = dynamic_cast<const common::CSlaveError*>(&error);
    if (!slaveError || slaveError->getSummary().isEmpty())
        return cutForDisplay(description, shownErrorBytes, shownErrorLines);
    std::string text = "the slave failed:\n" + slaveError->getSummary().toUTF8();
    if (!slaveError->getErrorFilePath().isEmpty())
        text += "\nThe whole report: " + slaveError->getErrorFilePath().toUTF8() + " (--verbose prints it)";
    return text;
}

} // namespace nebo::probe
