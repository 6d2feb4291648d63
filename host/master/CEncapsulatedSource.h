#pragma once

#include "foundation/CObject.h"
#include "foundation/sync/CScopedLock.h"
#include "foundation/sync/ISignal.h"
#include "host/common/CEmbeddedMutex.h"
#include "host/master/CPicturePrefetcher.h"
#include "host/master/CResumePlanner.h"
#include "host/master/CSlaveHandler.h"
#include "host/master/CSlavePool.h"
#include "host/master/IBoxedSource.h"
#include "host/plugin/IAudioSource.h"
#include "host/plugin/IMediumFactsSource.h"
#include "host/plugin/INEBContext.h"
#include "host/plugin/INEBPlugin.h"
#include "host/plugin/IVideoSource.h"
#include "host/wire/TForwardedSource.h"

#include <cstdint>
#include <exception>
#include <optional>
#include <vector>

namespace nebo::common {

// A source of a boxed plugin. Nothing starts before open(), which takes a
// slave from the pool or starts one and makes the real source there; calls
// into it are taken one at a time. When the context asks, a
// CPicturePrefetcher reads pictures ahead. The slave's log goes into the
// context's log at open(), then at most once per logTransferIntervalMs
// while pictures are read.
//
// A failed slave is reported as CNEBError with its error text, before each
// call and when a call fails. Every call to the slave, the prefetcher's too,
// ends within SSlaveLimits::timeoutMs: a slave that takes longer is ended
// and the call throws CNEBError naming it, so no lock of the source is held
// longer. close() and the release end the slave within a few seconds; calls
// after close() throw CNEBError until open() starts a new slave.
//
// With INEBContext::setResumeAfterSlaveFailure, a slave that dies or is
// ended during getNextPicture or getNextAudioChunk is replaced, at most
// SSlaveLimits::maxRestartsPerSource times, and reading goes on just after
// the item that failed (see CResumePlanner); each restart is logged. Then
// the last failure is thrown; other calls report a failed slave as before.
//
// One thread at a time, as for every source.
class CEncapsulatedSource : public lumo::CObject,
                            public virtual IVideoSource,
                            public virtual IAudioSource,
                            public virtual IMediumFactsSource,
                            public virtual IBoxedSource,
                            public TForwardedSource<CEncapsulatedSource> {
public:
    static constexpr int32_t logTransferIntervalMs = 5000;
    // How many items stamped before the resume point a new slave may hand
    // out before the source gives up on it.
    static constexpr int32_t maxDroppedAfterResume = 10000;
    // The length of a sound chunk assumed before one was read: what
    // decoders commonly hand out.
    static constexpr int32_t assumedChunkFrames = 1024;

    // `pParams` may be null: sixteen zero bytes are sent instead. Each
    // slave comes from `pool` when one is ready there, else is started.
    CEncapsulatedSource(lumo::P<INEBContext> context, const lumo::String& pluginName, const lumo::IURI& uri,
                        int32_t nTypes, const INEBPlugin::SSourceParams* pParams, lumo::P<CSlavePool> pool = nullptr);
    ~CEncapsulatedSource() override;

    // False before open() and after close().
    bool isOpened() override;
    // Throws CNEBError "could not create source "<uri>" in slave" when the
    // plugin makes no source, and whatever starting the slave throws.
    void open() override;
    // Throws the slave's error when it left one, once everything is released.
    void close() override;
    // No picture decoded before the skip is returned after it.
    void skipToTime(double seconds) override;
    void setStartTime(double seconds) override;
    double getStartTime() override;
    lumo::P<lumo::CURI> getURI() override;
    lumo::String getPluginName() override;

    void setMaxSize(int32_t nWidth, int32_t nHeight) override;
    int32_t getWidth() override;
    // 0.0 for a source without pictures and at the end of the pictures.
    double peekNextPictureTimestamp() override;
    // Null for a source without pictures. While prefetching, waits and
    // throws as CPicturePrefetcher::take does.
    lumo::P<INEBPicture> getNextPicture() override;

    lumo::P<IAudioStreamInfos> getAudioStreamInfos() override;
    void setAudioStream(int32_t nAudioIndex) override;
    lumo::P<audio::IAudioChunk> getNextAudioChunk() override;

    // Null when the plugin tells no facts; facts beyond the bounds of
    // CMediumFacts end the slave, and the call throws CNEBError.
    lumo::P<CMediumFacts> getMediumFacts() override;

    std::vector<lumo::String> getRestartCauses() override;
    std::vector<lumo::SProcessEnd> getSlaveEnds() override;

private:
    friend TForwardedSource<CEncapsulatedSource>;

    // Calls into the real source's side T under its lock, within the
    // slave's time limit; `what` names the call for the time-limit error.
    template <class T, class F> auto callSource(const char* what, F&& call, bool bCheckSlave = true);
    CEmbeddedMutex<ISource>& viewOf(ISource*) { return *m_source; }
    CEmbeddedMutex<IVideoSource>& viewOf(IVideoSource*) { return *m_videoSource; }
    CEmbeddedMutex<IAudioSource>& viewOf(IAudioSource*) { return *m_audioSource; }
    static const char* sideNameOf(ISource*) { return "source"; }
    static const char* sideNameOf(IVideoSource*) { return "pictures"; }
    static const char* sideNameOf(IAudioSource*) { return "sound"; }
    // The plain operations: the same call on the real source.
    template <class Operation, class... Arguments> typename Operation::Result forwardOperation(Arguments... arguments)
    {
        using Side = typename Operation::Interface;
        return callSource<Side>(Operation::wireName,
                                [&](Side& side) { return (side.*Operation::member)(arguments...); });
    }
    [[noreturn]] void throwWithout(const char* side);
    void requireOpened();

    void createSourceInSlave();
    // One from the context's slave pool when one is ready, else a new one
    // that starts when first called.
    lumo::P<CSlaveHandler> takeSlave();
    void startPrefetchingWhenAsked();
    // Stops and drops the prefetcher; false when its thread did not stop
    // in time and the slave was ended.
    bool stopPrefetching();
    void setViews(const lumo::P<ISource>& source);
    // Ends the slave and keeps how it ended.
    void retireSlave();
    void transferLog(bool bMayWaitForSource);
    // Adds a slave's log text to the context's log, when it has one.
    void logSlaveText(const lumo::String& text);

    // Hands out the next item of a side, resuming after failed slaves.
    template <class T, class F> lumo::P<T> readResuming(CResumePlanner::ESide side, F&& fetch);
    lumo::P<INEBPicture> fetchPicture();
    bool mayResume();
    // Restarts until a new slave serves from where `failed` needs it, or
    // throws the last failure.
    void resumeOrThrow(std::exception_ptr failure, CResumePlanner::ESide failed);
    // Keeps and logs why the slave is replaced.
    void noteRestart(const std::exception_ptr& failure);
    void restartFor(CResumePlanner::ESide failed);
    // Seconds per picture, or per sound chunk of `lastBytes` bytes.
    double getItemDuration(CResumePlanner::ESide side, int32_t lastBytes);
    void skipInSlave(double seconds);

    lumo::P<INEBContext> m_context;
    const lumo::P<CSlavePool> m_pool;
    lumo::String m_pluginName;
    lumo::P<lumo::CURI> m_uri;
    int32_t m_nTypes;
    INEBPlugin::SSourceParams m_params;
    bool m_bPictures;
    double m_startTime = 0.0;
    int32_t m_maxWidth = 0;
    int32_t m_maxHeight = 0;
    std::optional<int32_t> m_audioStream;

    CResumePlanner m_positions;
    std::vector<lumo::String> m_restartCauses;
    std::vector<lumo::SProcessEnd> m_slaveEnds;

    lumo::P<CSlaveHandler> m_slaveHandler;
    lumo::P<CEmbeddedMutex<ISource>> m_source;
    lumo::P<CEmbeddedMutex<IVideoSource>> m_videoSource;
    lumo::P<CEmbeddedMutex<IAudioSource>> m_audioSource;

    lumo::P<CPicturePrefetcher> m_prefetcher;

    std::optional<int64_t> m_lastLogTransferMs;
};

template <class T, class F> auto CEncapsulatedSource::callSource(const char* what, F&& call, bool bCheckSlave)
{
    requireOpened();
    if (bCheckSlave)
        m_slaveHandler->checkForSlaveError();
    CEmbeddedMutex<T>& view = viewOf(static_cast<T*>(nullptr));
    lumo::CScopedLock lock(view);
    const lumo::P<T> target = view.get();
    if (!target)
        throwWithout(sideNameOf(static_cast<T*>(nullptr)));
    return m_slaveHandler->callWithinLimit(what, [&] { return call(*target); });
}

} // namespace nebo::common
