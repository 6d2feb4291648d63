#pragma once

#include "host/CPluginHandler.h"
#include "host/master/CSlavePool.h"
#include "host/plugin/INEBContext.h"
#include "tools/probe/CProbeOptions.h"
#include "tools/probe/IProbeListener.h"
#include "tools/probe/SRGBImage.h"

#include <ostream>

namespace nebo::probe {

// Probes one medium as the options ask, through a context and plugin
// handler of its own, every plugin boxed in slaves: checks the outputs'
// folders, opens the medium, describes it, checks that it has what the
// outputs need, decodes its pictures (the sound of a medium without
// pictures), writes the thumbnail, the sheet and the sound, and reports on the slaves
// that served it. What it finds goes into a report, which the listener
// hears of step by step. One thread uses a probe; probes on other threads
// share nothing.
class CMediaProbe {
public:
    // `listener`, `progress` (a progress bar while decoding; null for none)
    // and `options` must outlive the probe. The medium's slave comes from
    // `pool` when one is ready there (null for no pool).
    CMediaProbe(const CProbeOptions& options, IProbeListener& listener, std::ostream* progress,
                lumo::P<common::CSlavePool> pool = nullptr);

    // Probes `uri`, named `input` on the command line; call once. Throws
    // nothing of the plugins' side: every failure is in the report, with
    // the step it stopped. A failing output stops neither the other output
    // nor the report on the slaves; a failed check stops all decoding.
    SMediumReport run(const std::string& input, const lumo::IURI& uri);

private:
    // Runs `work`, and records what it throws as a failure of `step`; after
    // Ctrl-C it runs nothing, and what fails is put down to the interrupt.
    template <class F> bool attempt(const char* step, F&& work);
    // True, and so noted in the report, once Ctrl-C came.
    bool noteInterruption();
    void addError(const char* step, const std::string& type, const std::string& message);
    void addWarning(const std::string& text);
    void notify(EProbeStep step);

    bool checkOutputFolders();
    void open(const lumo::IURI& uri);
    // Has the source hand out sound track `track`; fails for a track its
    // plugin does not list.
    void chooseSoundTrack(int32_t track);
    void describe();
    // Asks the source for its medium's facts, where it tells them.
    void learnFacts();
    bool checkOutputsFitMedium();
    void decode();
    void decodePictures();
    void decodeSound();
    void noteOddPicture(common::INEBPicture& picture);
    // The picture shown at `seconds`: the last one stamped at or before
    // it, or the first when none is; fails when there is none.
    lumo::P<common::INEBPicture> takePictureAt(double seconds);
    // `picture` with square pixels.
    SRGBImage toDisplayImage(common::INEBPicture& picture) const;
    void writeThumbnail();
    void writeSheet();
    void writeSound();
    // "s16", "s24", "s32", "u8" or "f32": the samples as the source hands
    // them out, and as the WAV file holds them.
    std::string describeDeliveredSamples() const;
    // The samples as the medium holds them, as its plugin names them; empty
    // when it names none.
    std::string describeHeldSamples() const;
    // Closes the source and tells how often its slaves were restarted and
    // how each ended; a failure to close is the slave's, reported already.
    void reportSlaves();
    // Releases the source before the handler whose code it runs, then
    // takes the log.
    void release();
    int64_t getExpectedPictureCount();
    bool isOddPicture(common::INEBPicture& picture) const;

    const CProbeOptions& m_options;
    IProbeListener& m_listener;
    std::ostream* const m_progress;
    const lumo::P<common::CSlavePool> m_pool;
    SMediumReport m_report;
    // The reasons behind the error being thrown, when plugins failed.
    std::vector<SPluginFailure> m_pluginFailures;
    lumo::P<common::INEBContext> m_context;
    lumo::P<common::CPluginHandler> m_handler;
    lumo::P<common::ISource> m_source;
    lumo::P<common::IVideoSource> m_video;
    lumo::P<common::IAudioSource> m_audio;
    // The first answers of the source, kept: each question is a remote call.
    int32_t m_width = 0;
    int32_t m_sampleRate = 0;
    int32_t m_pixelAspectNum = 1;
    int32_t m_pixelAspectDen = 1;
};

} // namespace nebo::probe
