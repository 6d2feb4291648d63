#pragma once

#include "foundation/CObject.h"
#include "host/plugin/INEBContext.h"

#include <map>
#include <vector>

namespace nebo::common {

// The context as the slave fills it from its command line. Starts with a
// memory manager of 30 buckets, both flags set, the system's folders, a log
// that keeps nothing, no plugin libraries and an empty plugin cache. Not
// locked (see INEBContext).
class CSimpleNEBContext : public lumo::CObject, public virtual INEBContext {
public:
    CSimpleNEBContext();
    ~CSimpleNEBContext() override;

    void setMemoryManager(lumo::P<lumo::IMemoryManager> manager) override;
    lumo::P<lumo::IMemoryManager> getMemoryManager() override;
    bool setPrefetch(bool bPrefetch) override;
    bool getPrefetch() override;
    bool setFlag2(bool bFlag) override;
    bool getFlag2() override;
    lumo::P<IBaseDirectories> getBaseDirectories() override;
    lumo::P<ILogManager> getLogManager() override;
    void setLogManager(lumo::P<ILogManager> manager) override;
    lumo::String getPluginForURI(int32_t nTypes, const lumo::IURI& uri) override;
    void setPluginForURI(int32_t nTypes, const lumo::IURI& uri, const lumo::String& pluginName) override;
    void addPluginLibrary(const lumo::String& name) override;
    int32_t getPluginLibraryCount() override;
    // Throws CInvalidArgError for an index outside the list.
    lumo::String getPluginLibrary(int32_t index) override;
    const SSlaveLimits& getSlaveLimits() override;
    void setSlaveLimits(const SSlaveLimits& limits) override;
    lumo::P<lumo::CURI> getSlaveProgram() override;
    void setSlaveProgram(lumo::P<lumo::CURI> program) override;
    void setResumeAfterSlaveFailure(bool bResume) override;
    bool getResumeAfterSlaveFailure() override;

    // The flags, the second and the temporary folder, the library names.
    void write(lumo::IDataOutStream& out) override;
    // Reads what write wrote and empties the plugin cache. A negative
    // library count throws CParseError, a folder text that is no URI the
    // URI's error; the context changes only when the whole body is read.
    bool read(lumo::IDataInStream& in) override;

private:
    // Plugin names per exact set of type bits, then by the URI's escaped
    // text, which tells any two URIs apart.
    using PluginCache = std::map<int32_t, std::map<lumo::String, lumo::String>>;

    lumo::P<lumo::IMemoryManager> m_memoryManager;
    bool m_bPrefetch = true;
    bool m_bFlag2 = true;
    lumo::P<IBaseDirectories> m_baseDirectories;
    lumo::P<ILogManager> m_logManager;
    std::vector<lumo::String> m_pluginLibraries;
    PluginCache m_pluginCache;
    SSlaveLimits m_slaveLimits;
    lumo::P<lumo::CURI> m_slaveProgram;
    bool m_bResumeAfterSlaveFailure = false;
};

} // namespace nebo::common
