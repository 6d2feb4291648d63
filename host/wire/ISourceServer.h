#pragma once

#include "host/plugin/IAudioSource.h"
#include "host/plugin/IMediumFactsSource.h"
#include "host/plugin/IVideoSource.h"
#include "host/wire/TRemoteOperation.h"

namespace nebo::common {

// The remote operations of a served source, as list entries (see
// TRemoteOperation.h). Those answered with plain values: TForwardedSource
// writes every side's override, which a side replaces where it does more.
#define NEBO_SOURCE_OPERATIONS(X)                                                                                      \
    X(ISource, isOpened)                                                                                               \
    X(ISource, open)                                                                                                   \
    X(ISource, close)                                                                                                  \
    X(ISource, skipToTime, fTimestamp)                                                                                 \
    X(ISource, getDuration)                                                                                            \
    X(ISource, getBufferStatus)                                                                                        \
    X(ISource, isEOF)                                                                                                  \
    X(ISource, setStartTime, fStartTime)                                                                               \
    X(ISource, getStartTime)                                                                                           \
    X(ISource, getPluginName)                                                                                          \
    X(IVideoSource, setMaxSize, nWidth, nHeight)                                                                       \
    X(IVideoSource, getWidth)                                                                                          \
    X(IVideoSource, getHeight)                                                                                         \
    X(IVideoSource, peekNextPictureTimestamp)                                                                          \
    X(IVideoSource, getPixelAspectNum)                                                                                 \
    X(IVideoSource, getPixelAspectDen)                                                                                 \
    X(IVideoSource, getFrameDuration)                                                                                  \
    X(IVideoSource, getFrameRateNum)                                                                                   \
    X(IVideoSource, getFrameRateDen)                                                                                   \
    X(IAudioSource, setAudioStream, nAudioIndex)                                                                       \
    X(IAudioSource, getSampleRate)                                                                                     \
    X(IAudioSource, getChannelCount)                                                                                   \
    X(IAudioSource, getBytesPerSample)

// Those answered with objects, which each side makes or reads its own way:
// the log, the URI, pictures, chunks and stream lists.
#define NEBO_SOURCE_OBJECT_OPERATIONS(X)                                                                               \
    X(ISourceServer, getLog)                                                                                           \
    X(ISource, getURI)                                                                                                 \
    X(IVideoSource, getNextPicture)                                                                                    \
    X(IAudioSource, getAudioStreamInfos)                                                                               \
    X(IAudioSource, getNextAudioChunk)

// A source served across a pipe, and the remote operations that carry it.
// It crosses the pipe itself with an empty body: the object only tells the
// master that the slave now serves a source.
class ISourceServer : public virtual IVideoSource,
                      public virtual IAudioSource,
                      public virtual IMediumFactsSource,
                      public virtual lumo::ISerializable {
public:
    // The log collected since the last call; the empty string when there is none.
    virtual lumo::String getLog() = 0;

    void write(lumo::IDataOutStream&) override {}
    bool read(lumo::IDataInStream&) override { return true; }

    using Served = ISourceServer;
    NEBO_SOURCE_OPERATIONS(NEBO_REMOTE_OPERATION)
    NEBO_SOURCE_OBJECT_OPERATIONS(NEBO_REMOTE_OPERATION)
    // Served only for a source that tells its facts. Without parameters, so
    // that a peer that knows no such function leaves nothing of the request
    // unread when it answers "notfound".
    NEBO_REMOTE_OPERATION(IMediumFactsSource, getMediumFacts)
};

} // namespace nebo::common
