#include "host/slave/takeLogText.h"

namespace nebo::common {

lumo::String takeLogText(INEBContext& context)
{
    const lumo::P<ILogManager> log = context.getLogManager();
    if (!log)
        return lumo::String("");
    // Entries that arrive between the two calls are lost with the clear;
    // the slave logs only on the thread that asks.
    const lumo::String text = log->getLogText();
    if (!text.isEmpty())
        log->clearLog();
    return text;
}

} // namespace nebo::common
