#pragma once

#include "host/plugin/IAudioSource.h"
#include "host/plugin/IVideoSource.h"
#include "host/wire/TRemoteForwarders.h"
#include "remote/CRemoteVarBool.h"
#include "remote/CRemoteVarDouble.h"
#include "remote/CRemoteVarInteger.h"
#include "remote/CRemoteVarObject.h"
#include "remote/CRemoteVarString.h"
#include "remote/CRemoteVarURI.h"

namespace nebo::common {

// A source served across a pipe, and the remote operations that carry it.
// It crosses the pipe itself with an empty body: the object only tells the
// master that the slave now serves a source.
class ISourceServer : public virtual IVideoSource, public virtual IAudioSource, public virtual lumo::ISerializable {
public:
    // The log collected since the last call; the empty string when there is none.
    virtual lumo::String getLog() = 0;

    void write(lumo::IDataOutStream&) override {}
    bool read(lumo::IDataInStream&) override { return true; }

    template <class ResultVar, auto Operation>
    using TFunction = TForwardingFunction<ISourceServer, ResultVar, Operation>;
    template <auto Operation, class... ParameterVars>
    using TProc = TForwardingProc<ISourceServer, Operation, ParameterVars...>;
    using CRemoteString = lumo::CRemoteVarString;
    using CBool = lumo::CRemoteVarBool;
    using CDouble = lumo::CRemoteVarDouble;
    using CInteger = lumo::CRemoteVarInteger;
    using CURIVar = lumo::CRemoteVarURI;
    using CObjectVar = lumo::CRemoteVarObject;

    struct getLogFunction : TFunction<CRemoteString, &ISourceServer::getLog> {
        explicit getLogFunction(ISourceServer* target = nullptr) : TForwardingFunction("getLog", target) {}
    };
    struct isOpenedFunction : TFunction<CBool, &ISource::isOpened> {
        explicit isOpenedFunction(ISourceServer* target = nullptr) : TForwardingFunction("isOpened", target) {}
    };
    struct openProc : TProc<&ISource::open> {
        explicit openProc(ISourceServer* target = nullptr) : TForwardingProc("open", target) {}
    };
    struct closeProc : TProc<&ISource::close> {
        explicit closeProc(ISourceServer* target = nullptr) : TForwardingProc("close", target) {}
    };
    struct skipToTimeProc : TProc<&ISource::skipToTime, CDouble> {
        explicit skipToTimeProc(ISourceServer* target = nullptr)
            : TForwardingProc("skipToTime", target, "fTimestamp")
        {
        }
    };
    struct getDurationFunction : TFunction<CDouble, &ISource::getDuration> {
        explicit getDurationFunction(ISourceServer* target = nullptr) : TForwardingFunction("getDuration", target) {}
    };
    struct getBufferStatusFunction : TFunction<CInteger, &ISource::getBufferStatus> {
        explicit getBufferStatusFunction(ISourceServer* target = nullptr)
            : TForwardingFunction("getBufferStatus", target)
        {
        }
    };
    struct isEOFFunction : TFunction<CBool, &ISource::isEOF> {
        explicit isEOFFunction(ISourceServer* target = nullptr) : TForwardingFunction("isEOF", target) {}
    };
    struct setStartTimeProc : TProc<&ISource::setStartTime, CDouble> {
        explicit setStartTimeProc(ISourceServer* target = nullptr)
            : TForwardingProc("setStartTime", target, "fStartTime")
        {
        }
    };
    struct getStartTimeFunction : TFunction<CDouble, &ISource::getStartTime> {
        explicit getStartTimeFunction(ISourceServer* target = nullptr) : TForwardingFunction("getStartTime", target)
        {
        }
    };
    struct getURIFunction : TFunction<CURIVar, &ISource::getURI> {
        explicit getURIFunction(ISourceServer* target = nullptr) : TForwardingFunction("getURI", target) {}
    };
    struct getPluginNameFunction : TFunction<CRemoteString, &ISource::getPluginName> {
        explicit getPluginNameFunction(ISourceServer* target = nullptr)
            : TForwardingFunction("getPluginName", target)
        {
        }
    };
    struct setMaxSizeProc : TProc<&IVideoSource::setMaxSize, CInteger, CInteger> {
        explicit setMaxSizeProc(ISourceServer* target = nullptr)
            : TForwardingProc("setMaxSize", target, "nWidth", "nHeight")
        {
        }
    };
    struct getWidthFunction : TFunction<CInteger, &IVideoSource::getWidth> {
        explicit getWidthFunction(ISourceServer* target = nullptr) : TForwardingFunction("getWidth", target) {}
    };
    struct getHeightFunction : TFunction<CInteger, &IVideoSource::getHeight> {
        explicit getHeightFunction(ISourceServer* target = nullptr) : TForwardingFunction("getHeight", target) {}
    };
    struct peekNextPictureTimestampFunction : TFunction<CDouble, &IVideoSource::peekNextPictureTimestamp> {
        explicit peekNextPictureTimestampFunction(ISourceServer* target = nullptr)
            : TForwardingFunction("peekNextPictureTimestamp", target)
        {
        }
    };
    // The server answers with the picture in a remote wrapper.
    struct getNextPictureFunction : TFunction<CObjectVar, &IVideoSource::getNextPicture> {
        explicit getNextPictureFunction(ISourceServer* target = nullptr)
            : TForwardingFunction("getNextPicture", target)
        {
        }
    };
    struct getPixelAspectNumFunction : TFunction<CInteger, &IVideoSource::getPixelAspectNum> {
        explicit getPixelAspectNumFunction(ISourceServer* target = nullptr)
            : TForwardingFunction("getPixelAspectNum", target)
        {
        }
    };
    struct getPixelAspectDenFunction : TFunction<CInteger, &IVideoSource::getPixelAspectDen> {
        explicit getPixelAspectDenFunction(ISourceServer* target = nullptr)
            : TForwardingFunction("getPixelAspectDen", target)
        {
        }
    };
    struct getFrameDurationFunction : TFunction<CDouble, &IVideoSource::getFrameDuration> {
        explicit getFrameDurationFunction(ISourceServer* target = nullptr)
            : TForwardingFunction("getFrameDuration", target)
        {
        }
    };
    struct getFrameRateNumFunction : TFunction<CInteger, &IVideoSource::getFrameRateNum> {
        explicit getFrameRateNumFunction(ISourceServer* target = nullptr)
            : TForwardingFunction("getFrameRateNum", target)
        {
        }
    };
    struct getFrameRateDenFunction : TFunction<CInteger, &IVideoSource::getFrameRateDen> {
        explicit getFrameRateDenFunction(ISourceServer* target = nullptr)
            : TForwardingFunction("getFrameRateDen", target)
        {
        }
    };
    struct getAudioStreamInfosFunction : TFunction<CObjectVar, &IAudioSource::getAudioStreamInfos> {
        explicit getAudioStreamInfosFunction(ISourceServer* target = nullptr)
            : TForwardingFunction("getAudioStreamInfos", target)
        {
        }
    };
    struct setAudioStreamProc : TProc<&IAudioSource::setAudioStream, CInteger> {
        explicit setAudioStreamProc(ISourceServer* target = nullptr)
            : TForwardingProc("setAudioStream", target, "nAudioIndex")
        {
        }
    };
    struct getNextAudioChunkFunction : TFunction<CObjectVar, &IAudioSource::getNextAudioChunk> {
        explicit getNextAudioChunkFunction(ISourceServer* target = nullptr)
            : TForwardingFunction("getNextAudioChunk", target)
        {
        }
    };
    struct getSampleRateFunction : TFunction<CInteger, &IAudioSource::getSampleRate> {
        explicit getSampleRateFunction(ISourceServer* target = nullptr)
            : TForwardingFunction("getSampleRate", target)
        {
        }
    };
    struct getChannelCountFunction : TFunction<CInteger, &IAudioSource::getChannelCount> {
        explicit getChannelCountFunction(ISourceServer* target = nullptr)
            : TForwardingFunction("getChannelCount", target)
        {
        }
    };
    struct getBytesPerSampleFunction : TFunction<CInteger, &IAudioSource::getBytesPerSample> {
        explicit getBytesPerSampleFunction(ISourceServer* target = nullptr)
            : TForwardingFunction("getBytesPerSample", target)
        {
        }
    };
};

} // namespace nebo::common
