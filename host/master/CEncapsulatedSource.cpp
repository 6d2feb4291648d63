#include "host/master/CEncapsulatedSource.h"

#include "foundation/castObject.h"
#include "foundation/sync/CScopedLock.h"
#include "foundation/sync/IMutexFactory.h"
#include "foundation/sync/getTickCount.h"
#include "host/common/getErrorText.h"
#include "host/master/CSlaveError.h"
#include "host/master/CSlaveHandler.h"
#include "host/master/CSlavePool.h"
#include "host/master/findOpeningFailure.h"
#include "host/wire/ISourceServer.h"
#include "media/CNEBError.h"

#include <algorithm>
#include <utility>

namespace nebo::common {

using lumo::make;
using lumo::P;
using lumo::String;

namespace {

// "warning": a restart is worth knowing about.
constexpr int32_t restartLogLevel = 1;

String quoted(const lumo::IURI& uri) { return String("\"") + uri.getText() + String("\""); }

int32_t sizeOf(INEBPicture&) { return 0; }
int32_t sizeOf(audio::IAudioChunk& chunk) { return chunk.getDataSize(); }

// What people are told of a failure: a slave's summary and where its
// whole report is, or the error text.
String describeFailure(const std::exception_ptr& failure)
{
    try {
        std::rethrow_exception(failure);
    } catch (const CSlaveError& error) {
        const String summary = error.getSummary().isEmpty() ? getErrorText(error) : error.getSummary();
        if (error.getErrorFilePath().isEmpty())
            return summary;
        return summary + String("\nThe whole report: ") + error.getErrorFilePath();
    } catch (const lumo::CException& error) {
        return getErrorText(error);
    }
}

} // namespace

CEncapsulatedSource::CEncapsulatedSource(P<INEBContext> context, const String& pluginName, const lumo::IURI& uri,
                                         int32_t nTypes, const INEBPlugin::SSourceParams* pParams, P<CSlavePool> pool)
    : m_context(std::move(context)), m_pool(std::move(pool)), m_pluginName(pluginName),
      m_uri(make<lumo::CURI>(uri.getText())), m_nTypes(nTypes),
      m_params(pParams ? *pParams : INEBPlugin::SSourceParams{0, 0, 0, 0}),
      m_bPictures((nTypes & pictureSourceType) != 0)
{
    const P<lumo::IMutex> sourceMutex = lumo::getMutexFactory()->createMutex();
    m_source = make<CEmbeddedMutex<ISource>>(sourceMutex);
    m_videoSource = make<CEmbeddedMutex<IVideoSource>>(sourceMutex);
    m_audioSource = make<CEmbeddedMutex<IAudioSource>>(sourceMutex);
}

CEncapsulatedSource::~CEncapsulatedSource()
{
    try {
        close();
    } catch (const std::exception&) {
        // Whoever releases a source without closing it has no use for the slave's
        // last error.
    }
}

void CEncapsulatedSource::requireOpened()
{
    if (!m_slaveHandler)
        throw CNEBError(String("source is not opened ") + quoted(*m_uri));
}

void CEncapsulatedSource::throwWithout(const char* side)
{
    throw CNEBError(String("source ") + quoted(*m_uri) + String(" has no ") + String(side));
}

bool CEncapsulatedSource::isOpened()
{
    return m_slaveHandler && callSource<ISource>("isOpened", [](ISource& source) { return source.isOpened(); });
}

void CEncapsulatedSource::open()
{
    lumo::CScopedLock lock(*m_source);
    if (!m_slaveHandler)
        createSourceInSlave();
    callSource<ISource>("open", [](ISource& source) { source.open(); });
    m_positions.placeAt(0.0);
    startPrefetchingWhenAsked();
    transferLog(true);
}

void CEncapsulatedSource::startPrefetchingWhenAsked()
{
    if (!m_prefetcher && m_bPictures && m_videoSource->get() && m_context->getPrefetch())
        m_prefetcher = make<CPicturePrefetcher>(m_slaveHandler, m_videoSource, m_context->getSlaveLimits().timeoutMs);
}

bool CEncapsulatedSource::stopPrefetching()
{
    const bool bStopped = !m_prefetcher || m_prefetcher->stop();
    m_prefetcher = nullptr;
    return bStopped;
}

void CEncapsulatedSource::createSourceInSlave()
{
    // Kept only once the source exists: on failure its release ends the slave.
    const P<CSlaveHandler> handler = takeSlave();
    const P<INEBPluginRemote> plugin = handler->callIntoSlave([&] { return handler->getClient(); });
    // The slave opens the source to test it, which is where a plugin may hang.
    handler->callWithinLimit("tryCreateSource", [&] {
        const P<ISource> source = plugin->tryCreateSource(*m_uri, m_nTypes, true, &m_params);
        if (!source) {
            // Why the plugin refused is in the slave's log only.
            const String slaveLog = plugin->getLog();
            logSlaveText(slaveLog);
            throw CSlaveError(String("could not create source ") + quoted(*m_uri) + String(" in slave"),
                              findOpeningFailure(slaveLog), String());
        }
        source->setStartTime(m_startTime);
        const P<IVideoSource> pictures = lumo::castObject<IVideoSource>(source, false);
        if (pictures && m_maxWidth > 0 && m_maxHeight > 0)
            pictures->setMaxSize(m_maxWidth, m_maxHeight);
        const P<IAudioSource> sound = lumo::castObject<IAudioSource>(source, false);
        if (sound && m_audioStream)
            sound->setAudioStream(*m_audioStream);
        setViews(source);
    });
    m_slaveHandler = handler;
}

P<CSlaveHandler> CEncapsulatedSource::takeSlave()
{
    if (m_pool)
        if (P<CSlaveHandler> handler = m_pool->take(m_pluginName, m_context))
            return handler;
    return make<CSlaveHandler>(m_context, m_pluginName, lumo::IProcess::priorityBelowNormal);
}

void CEncapsulatedSource::setViews(const P<ISource>& source)
{
    m_source->set(source);
    m_videoSource->set(lumo::castObject<IVideoSource>(source, false));
    m_audioSource->set(lumo::castObject<IAudioSource>(source, false));
}

void CEncapsulatedSource::close()
{
    if (!m_slaveHandler)
        return;
    std::exception_ptr failure;
    try {
        m_slaveHandler->checkForSlaveError();
    } catch (const lumo::CException&) {
        failure = std::current_exception();
    }
    const bool bSlaveAnswers = stopPrefetching();
    {
        lumo::CScopedLock lock(*m_source);
        // A slave that is gone or hangs has nothing left to close.
        if (bSlaveAnswers && m_slaveHandler->isServing()) {
            try {
                callSource<ISource>("close", [](ISource& source) { source.close(); });
            } catch (const lumo::CException&) {
                if (!failure)
                    failure = std::current_exception();
            }
        }
        setViews(nullptr);
        retireSlave();
    }
    m_lastLogTransferMs.reset();
    if (failure)
        std::rethrow_exception(failure);
}

void CEncapsulatedSource::retireSlave()
{
    if (const std::optional<lumo::SProcessEnd> end = m_slaveHandler->finish())
        m_slaveEnds.push_back(*end);
    m_slaveHandler = nullptr;
}

void CEncapsulatedSource::skipToTime(double seconds)
{
    skipInSlave(seconds);
    m_positions.placeAt(seconds);
}

void CEncapsulatedSource::skipInSlave(double seconds)
{
    // The prefetcher fetches a picture under the pictures' lock; holding it
    // here too puts each fetch wholly before the skip (its picture is
    // dropped) or wholly after it.
    lumo::CScopedLock pictures(*m_videoSource);
    callSource<ISource>("skipToTime", [&](ISource& source) {
        source.skipToTime(seconds);
        if (m_prefetcher)
            m_prefetcher->skipped();
    });
}

void CEncapsulatedSource::setStartTime(double seconds)
{
    m_startTime = seconds;
    if (m_slaveHandler)
        callSource<ISource>("setStartTime", [seconds](ISource& source) { source.setStartTime(seconds); });
}

double CEncapsulatedSource::getStartTime() { return m_startTime; }

P<lumo::CURI> CEncapsulatedSource::getURI() { return m_uri; }

String CEncapsulatedSource::getPluginName() { return m_pluginName; }

void CEncapsulatedSource::setMaxSize(int32_t nWidth, int32_t nHeight)
{
    m_maxWidth = nWidth;
    m_maxHeight = nHeight;
    if (m_videoSource->get())
        callSource<IVideoSource>("setMaxSize", [=](IVideoSource& source) { source.setMaxSize(nWidth, nHeight); });
}

int32_t CEncapsulatedSource::getWidth()
{
    return callSource<IVideoSource>(
        "getWidth", [](IVideoSource& source) { return source.getWidth(); }, false);
}

double CEncapsulatedSource::peekNextPictureTimestamp()
{
    requireOpened();
    if (!m_videoSource->get())
        return 0.0;
    const P<CPicturePrefetcher> prefetcher = m_prefetcher;
    if (!prefetcher)
        return callSource<IVideoSource>("peekNextPictureTimestamp",
                                        [](IVideoSource& source) { return source.peekNextPictureTimestamp(); });
    const P<INEBPicture> next = prefetcher->peek();
    m_slaveHandler->checkForSlaveError();
    return next ? next->getTimestamp() : 0.0;
}

P<INEBPicture> CEncapsulatedSource::getNextPicture()
{
    requireOpened();
    if (!m_videoSource->get())
        return nullptr;
    transferLog(false);
    return readResuming<INEBPicture>(CResumePlanner::ESide::pictures, [this] { return fetchPicture(); });
}

P<INEBPicture> CEncapsulatedSource::fetchPicture()
{
    // Pictures fetched before the prefetcher failed are still good.
    if (const P<CPicturePrefetcher> prefetcher = m_prefetcher)
        return prefetcher->take();
    return callSource<IVideoSource>("getNextPicture", [](IVideoSource& source) { return source.getNextPicture(); });
}

P<IAudioStreamInfos> CEncapsulatedSource::getAudioStreamInfos()
{
    return callSource<IAudioSource>(
        "getAudioStreamInfos", [](IAudioSource& source) { return source.getAudioStreamInfos(); }, false);
}

void CEncapsulatedSource::setAudioStream(int32_t nAudioIndex)
{
    callSource<IAudioSource>("setAudioStream",
                             [nAudioIndex](IAudioSource& source) { source.setAudioStream(nAudioIndex); });
    // A new slave serves the stream chosen last.
    m_audioStream = nAudioIndex;
}

P<CMediumFacts> CEncapsulatedSource::getMediumFacts()
{
    return callSource<ISource>("getMediumFacts", [](ISource& source) {
        const P<IMediumFactsSource> facts = lumo::castObject<IMediumFactsSource>(&source, false);
        return facts ? facts->getMediumFacts() : nullptr;
    });
}

P<audio::IAudioChunk> CEncapsulatedSource::getNextAudioChunk()
{
    requireOpened();
    return readResuming<audio::IAudioChunk>(CResumePlanner::ESide::sound, [this] {
        return callSource<IAudioSource>("getNextAudioChunk",
                                        [](IAudioSource& source) { return source.getNextAudioChunk(); });
    });
}

std::vector<String> CEncapsulatedSource::getRestartCauses() { return m_restartCauses; }

std::vector<lumo::SProcessEnd> CEncapsulatedSource::getSlaveEnds() { return m_slaveEnds; }

template <class T, class F> P<T> CEncapsulatedSource::readResuming(CResumePlanner::ESide side, F&& fetch)
{
    for (int32_t dropped = 0;;) {
        P<T> item;
        try {
            item = fetch();
        } catch (const lumo::CException&) {
            resumeOrThrow(std::current_exception(), side);
            continue;
        }
        if (item && !m_positions.keep(side, item->getTimestamp(), sizeOf(*item))) {
            if (++dropped > maxDroppedAfterResume)
                throw CNEBError(String("the new slave of ") + quoted(*m_uri) +
                                String(" kept handing out what came before its resume point"));
            continue;
        }
        return item;
    }
}

bool CEncapsulatedSource::mayResume()
{
    // A slave that still serves answered with an error of its plugin's:
    // that is no failure of the slave.
    return m_context->getResumeAfterSlaveFailure() &&
           m_restartCauses.size() < size_t(std::max(m_context->getSlaveLimits().maxRestartsPerSource, 0)) &&
           (!m_slaveHandler || !m_slaveHandler->isServing());
}

void CEncapsulatedSource::resumeOrThrow(std::exception_ptr failure, CResumePlanner::ESide failed)
{
    while (mayResume()) {
        noteRestart(failure);
        try {
            restartFor(failed);
            return;
        } catch (const lumo::CException&) {
            failure = std::current_exception();
        }
    }
    std::rethrow_exception(failure);
}

void CEncapsulatedSource::noteRestart(const std::exception_ptr& failure)
{
    m_restartCauses.push_back(describeFailure(failure));
    const P<ILogManager> log = m_context->getLogManager();
    if (!log)
        return;
    log->logText(restartLogLevel,
                 String("CEncapsulatedSource: restart ") + String::fromInt(int32_t(m_restartCauses.size())) +
                     String(" of ") + String::fromInt(m_context->getSlaveLimits().maxRestartsPerSource) +
                     String(" for ") + quoted(*m_uri) + String(" after the slave failed: ") + m_restartCauses.back());
}

void CEncapsulatedSource::restartFor(CResumePlanner::ESide failed)
{
    stopPrefetching();
    {
        lumo::CScopedLock lock(*m_source);
        setViews(nullptr);
        if (m_slaveHandler)
            retireSlave();
        createSourceInSlave();
        callSource<ISource>("open", [](ISource& source) { source.open(); });
    }
    skipInSlave(m_positions.plan(
        failed, [this](CResumePlanner::ESide side, int32_t lastBytes) { return getItemDuration(side, lastBytes); },
        quoted(*m_uri)));
    startPrefetchingWhenAsked();
    transferLog(true);
}

double CEncapsulatedSource::getItemDuration(CResumePlanner::ESide side, int32_t lastBytes)
{
    if (side == CResumePlanner::ESide::pictures)
        return callSource<IVideoSource>("getFrameDuration",
                                        [](IVideoSource& source) { return source.getFrameDuration(); });
    const auto [framesPerSecond, bytesPerFrame] = callSource<IAudioSource>("getSampleRate", [](IAudioSource& source) {
        return std::make_pair(double(source.getSampleRate()),
                              double(source.getChannelCount()) * source.getBytesPerSample());
    });
    const double chunkBytes = lastBytes > 0 ? lastBytes : assumedChunkFrames * bytesPerFrame;
    return chunkBytes / (framesPerSecond * bytesPerFrame);
}

void CEncapsulatedSource::transferLog(bool bMayWaitForSource)
{
    const int64_t now = lumo::getTickCount();
    if (m_lastLogTransferMs && now - *m_lastLogTransferMs <= logTransferIntervalMs)
        return;
    // While the buffering thread waits for a slow picture, the log can wait too.
    if (bMayWaitForSource)
        m_source->lock();
    else if (!m_source->tryLock(0))
        return;
    lumo::CScopedLock lock(*m_source, lumo::CScopedLock::adopt);
    const P<ISourceServer> server = lumo::castObject<ISourceServer>(m_source->get(), false);
    if (!server)
        return;
    logSlaveText(m_slaveHandler->callWithinLimit("getLog", [&] { return server->getLog(); }));
    m_lastLogTransferMs = now;
}

void CEncapsulatedSource::logSlaveText(const String& text)
{
    const P<ILogManager> log = m_context->getLogManager();
    if (log && !text.isEmpty())
        log->logXml(log->getLogLevel(), text);
}

} // namespace nebo::common
