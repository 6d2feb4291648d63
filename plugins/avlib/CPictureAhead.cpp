#include "plugins/avlib/CPictureAhead.h"

namespace nebo::avlib {

CPictureAhead::CPictureAhead(std::unique_ptr<CPictureReader> reader)
    : m_reader(std::move(reader)), m_thread([this] { makeAheadUntilStopped(); })
{
}

CPictureAhead::~CPictureAhead()
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_bStopping = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

template <class F> decltype(auto) CPictureAhead::whenIdle(F&& read)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait(lock, [this] { return !m_bMaking; });
    if (m_error)
        std::rethrow_exception(std::exchange(m_error, nullptr));
    return read(*m_reader);
}

void CPictureAhead::setMaxSize(int32_t width, int32_t height)
{
    whenIdle([&](CPictureReader& reader) { reader.setMaxSize(width, height); });
}

SPictureSize CPictureAhead::getPictureSize()
{
    return whenIdle([](CPictureReader& reader) { return reader.getPictureSize(); });
}

AVRational CPictureAhead::getFrameRate()
{
    return whenIdle([](CPictureReader& reader) { return reader.getFrameRate(); });
}

AVRational CPictureAhead::getPixelAspect()
{
    return whenIdle([](CPictureReader& reader) { return reader.getPixelAspect(); });
}

std::string CPictureAhead::describe()
{
    return whenIdle([](CPictureReader& reader) { return reader.describe(); });
}

lumo::P<common::INEBPicture> CPictureAhead::getNextPicture()
{
    lumo::P<common::INEBPicture> picture = whenIdle([](CPictureReader& reader) { return reader.getNextPicture(); });
    if (picture) {
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_bMaking = true;
        }
        m_changed.notify_all();
    }
    return picture;
}

std::optional<double> CPictureAhead::peekNextTimestamp()
{
    return whenIdle([](CPictureReader& reader) { return reader.peekNextTimestamp(); });
}

bool CPictureAhead::isAtEnd()
{
    return whenIdle([](CPictureReader& reader) { return reader.isAtEnd(); });
}

void CPictureAhead::skipToTime(double seconds)
{
    whenIdle([seconds](CPictureReader& reader) { reader.skipToTime(seconds); });
}

void CPictureAhead::makeAheadUntilStopped()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_bMaking || m_bStopping; });
        if (m_bStopping)
            return;
        lock.unlock();
        std::exception_ptr error;
        try {
            m_reader->makeAhead();
        } catch (...) {
            error = std::current_exception();
        }
        lock.lock();
        m_error = error;
        m_bMaking = false;
        m_changed.notify_all();
    }
}

} // namespace nebo::avlib
