#pragma once

#include "host/INEBContext.h"
#include "host/CPluginHandler.h"
#include "tools/probe/CProbeOptions.h"

#include <ostream>

namespace nebo::probe {

// Opens one medium through a plugin handler and reports on it: the facts
// as "Key: value" lines, the decoding of its pictures, and on request a
// thumbnail and the sound as files. One thread uses it.
class CMediaProbe {
public:
    // Loads the plugins that `context` names, each boxed in a slave of its
    // own. `facts` receives the report; `progress` (null for none) a
    // progress bar. Both must outlive the probe. Throws lumo::CError when
    // none of the plugins loads, and whatever loading one throws.
    CMediaProbe(const lumo::P<common::INEBContext>& context, std::ostream& facts, std::ostream* progress);

    // Does what `options` ask for `uri`, then reports on the slaves that
    // served it, also when it failed. Throws lumo::CError when no plugin
    // opens the medium or it lacks what is asked for, and passes on every
    // lumo::CException of the plugin's side, such as a slave's error or
    // crash report.
    void run(const lumo::IURI& uri, const CProbeOptions& options);

private:
    void open(const lumo::IURI& uri);
    void describe();
    void decodePictures(const std::optional<int64_t>& maxPictures);
    void writeThumbnail(double time, const std::string& path);
    void writeSound(const std::string& path);
    // Closes the source and says how often its slaves were restarted and
    // how each ended; a failure to close is the slave's, reported already.
    void reportSlaves();
    int64_t getExpectedPictureCount(const std::optional<int64_t>& maxPictures);
    void printFact(const std::string& key, const std::string& value);

    std::ostream& m_facts;
    std::ostream* const m_progress;
    // The source runs code that the handler loaded: declared after the
    // handler, it is released before it.
    lumo::P<common::CPluginHandler> m_handler;
    lumo::P<common::ISource> m_source;
    lumo::P<common::IVideoSource> m_video;
    lumo::P<common::IAudioSource> m_audio;
};

} // namespace nebo::probe
