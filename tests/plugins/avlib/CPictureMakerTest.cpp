#include "plugins/avlib/CPictureMaker.h"

#include "foundation/CURI.h"
#include "streams/CMemoryManager.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using lumo::P;

struct SPlaneShape {
    int rowBytes, rows;
};

// A decoded frame whose planes hold a byte naming plane, row and column, in padded rows, last first when `bottomUp`.
class CFakeFrame {
public:
    CFakeFrame(AVPixelFormat format, int width, int height, std::vector<SPlaneShape> planes, bool bottomUp)
        : m_planes(std::move(planes))
    {
        m_frame.format = format;
        m_frame.width = width;
        m_frame.height = height;
        for (size_t p = 0; p < m_planes.size(); ++p) {
            const int pitch = m_planes[p].rowBytes + 5;
            m_storage.emplace_back(size_t(pitch) * m_planes[p].rows);
            for (int row = 0; row < m_planes[p].rows; ++row) {
                const int stored = bottomUp ? m_planes[p].rows - 1 - row : row;
                for (int column = 0; column < m_planes[p].rowBytes; ++column)
                    m_storage[p][size_t(stored) * pitch + column] = valueAt(p, row, column);
            }
            m_frame.data[p] = m_storage[p].data() + (bottomUp ? size_t(pitch) * (m_planes[p].rows - 1) : 0);
            m_frame.linesize[p] = bottomUp ? -pitch : pitch;
        }
    }
    const AVFrame& get() const { return m_frame; }
    // The tight rows of the planes in the given order, top row first.
    std::vector<uint8_t> tightBytes(const std::vector<size_t>& order) const
    {
        std::vector<uint8_t> bytes;
        for (size_t p : order)
            for (int row = 0; row < m_planes[p].rows; ++row)
                for (int column = 0; column < m_planes[p].rowBytes; ++column)
                    bytes.push_back(valueAt(p, row, column));
        return bytes;
    }

private:
    static uint8_t valueAt(size_t plane, int row, int column) { return uint8_t(plane * 77 + row * 13 + column); }

    std::vector<SPlaneShape> m_planes;
    std::vector<std::vector<uint8_t>> m_storage;
    AVFrame m_frame{};
};

TEST(CPictureMakerTest, LayoutsOfTheirOwnAreCopiedRowByRowTopRowFirst)
{
    // order: of the planes in the picture's block
    // clang-format off
    struct SCase {
        const char* name; AVPixelFormat format; int width, height; std::vector<SPlaneShape> planes;
        std::vector<size_t> order; int32_t type;
    } const cases[] = {
        {"yuv420p", AV_PIX_FMT_YUV420P, 6, 4, {{6, 4}, {3, 2}, {3, 2}}, {0, 2, 1}, nebo::common::yv12PictureType},
        {"yuvj420p", AV_PIX_FMT_YUVJ420P, 4, 2, {{4, 2}, {2, 1}, {2, 1}}, {0, 2, 1}, nebo::common::yv12PictureType},
        {"nv12", AV_PIX_FMT_NV12, 6, 4, {{6, 4}, {6, 2}}, {0, 1}, nebo::common::nv12PictureType},
        {"yuyv422", AV_PIX_FMT_YUYV422, 6, 4, {{12, 4}}, {0}, nebo::common::yuy2PictureType},
        {"bgra", AV_PIX_FMT_BGRA, 3, 5, {{12, 5}}, {0}, nebo::common::rgbPictureType},
    };
    // clang-format on
    nebo::avlib::CPictureMaker maker(lumo::make<lumo::CMemoryManager>(30));
    const P<lumo::CURI> uri = lumo::make<lumo::CURI>(lumo::String("file:///clip.avi"));
    for (const SCase& test : cases)
        for (const bool bottomUp : {false, true}) {
            SCOPED_TRACE(std::string(test.name) + (bottomUp ? " bottom-up" : " top-down"));
            const CFakeFrame frame(test.format, test.width, test.height, test.planes, bottomUp);
            const P<nebo::common::INEBPicture> picture = maker.makePicture(frame.get(), 1.5, *uri);
            EXPECT_EQ(picture->getType(), test.type);
            EXPECT_EQ(picture->getTimestamp(), 1.5);
            EXPECT_FALSE(picture->isBottomUp());
            const P<lumo::IMemoryBlock> block = picture->getImagePlane(0, 0, 0, test.width, test.height);
            EXPECT_TRUE(std::vector<uint8_t>(block->getData(), block->getData() + block->getSize()) ==
                        frame.tightBytes(test.order));
        }
}

TEST(CPictureMakerTest, PicturesAboveTheLimitShrinkToTheLargestEvenSizeOfTheirAspect)
{
    struct SCase {
        int32_t maxWidth, maxHeight, width, height, expectedWidth, expectedHeight;
    };
    const SCase cases[] = {
        {-1, 480, 1920, 1080, 1920, 1080}, // a limit needs both sides
        {640, 480, 640, 480, 640, 480},    // fits exactly
        {640, 480, 63, 47, 63, 47},        // smaller pictures keep their size, odd or not
        {100, 100, 240, 320, 74, 100},     // height limits; 75 made even
        {101, 101, 1000, 10, 100, 2},      // never below 2
    };
    nebo::avlib::CPictureMaker maker(lumo::make<lumo::CMemoryManager>(30));
    for (const SCase& test : cases) {
        maker.setMaxSize(test.maxWidth, test.maxHeight);
        const nebo::avlib::SPictureSize size = maker.getPictureSize(test.width, test.height);
        EXPECT_EQ(size.width, test.expectedWidth) << test.width << "x" << test.height << " in " << test.maxWidth;
        EXPECT_EQ(size.height, test.expectedHeight) << test.width << "x" << test.height << " in " << test.maxWidth;
    }
}

} // namespace
