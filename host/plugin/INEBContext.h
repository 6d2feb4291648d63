#pragma once

#include "foundation/CURI.h"
#include "foundation/P.h"
#include "host/plugin/IBaseDirectories.h"
#include "host/plugin/ILogManager.h"
#include "host/plugin/SSlaveLimits.h"
#include "streams/IMemoryManager.h"
#include "streams/ISerializable.h"

#include <cstdint>

namespace nebo::common {

// Media-type bits (`nTypes`): what a plugin, source or format deals with.
enum : int32_t {
    pictureSourceType = 1,
    soundSourceType = 2,
    formatType = 8,
    soundFormatType = 16,
};

// The one object through which the host's parts find their shared
// services, the plugin libraries to load and the plugin that last opened a
// URI. It does no locking: it is filled before serving starts and only read
// afterwards. Its serialised form carries the flags, the two folders and
// the plugin library names.
class INEBContext : public virtual lumo::IBase, public virtual lumo::ISerializable {
public:
    virtual void setMemoryManager(lumo::P<lumo::IMemoryManager> manager) = 0;
    virtual lumo::P<lumo::IMemoryManager> getMemoryManager() = 0;
    // When set, a buffering source prefetches pictures on a thread of its own.
    virtual bool setPrefetch(bool bPrefetch) = 0;
    virtual bool getPrefetch() = 0;
    virtual bool setFlag2(bool bFlag) = 0;
    virtual bool getFlag2() = 0;
    virtual lumo::P<IBaseDirectories> getBaseDirectories() = 0;
    virtual lumo::P<ILogManager> getLogManager() = 0;
    virtual void setLogManager(lumo::P<ILogManager> manager) = 0;
    // The plugin remembered for exactly these type bits and this URI, or the
    // empty string.
    virtual lumo::String getPluginForURI(int32_t nTypes, const lumo::IURI& uri) = 0;
    virtual void setPluginForURI(int32_t nTypes, const lumo::IURI& uri, const lumo::String& pluginName) = 0;
    // Appends a plugin library's base name, also one already listed.
    virtual void addPluginLibrary(const lumo::String& name) = 0;
    virtual int32_t getPluginLibraryCount() = 0;
    virtual lumo::String getPluginLibrary(int32_t index) = 0;
    // The bounds a master puts on its slaves; not part of the serialised form.
    virtual const SSlaveLimits& getSlaveLimits() = 0;
    virtual void setSlaveLimits(const SSlaveLimits& limits) = 0;
    // The slave program a master starts; null (the default) for nebo_slave
    // beside the running program.
    virtual lumo::P<lumo::CURI> getSlaveProgram() = 0;
    virtual void setSlaveProgram(lumo::P<lumo::CURI> program) = 0;
    // When set, a boxed source whose slave dies or is ended while it reads
    // starts a new one and goes on after the picture or chunk that failed,
    // at most SSlaveLimits::maxRestartsPerSource times. Off by default; not
    // part of the serialised form.
    virtual void setResumeAfterSlaveFailure(bool bResume) = 0;
    virtual bool getResumeAfterSlaveFailure() = 0;
};

} // namespace nebo::common
