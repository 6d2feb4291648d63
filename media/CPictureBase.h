#pragma once

#include "foundation/CObject.h"
#include "media/INEBPicture.h"
#include "streams/IMemoryManager.h"

#include <cstddef>

namespace nebo::common {

// What the picture layouts share: the fields, the wire form, the checks of
// regions and caller buffers, and row copies that never leave the block.
// Regions are checked before anything is read: one outside the picture
// throws CInvalidArgError. Not locked: one thread uses a picture at a time.
class CPictureBase : public lumo::CObject, public virtual INEBPicture {
public:
    double getTimestamp() override;
    int32_t getWidth() override;
    int32_t getHeight() override;
    bool isBottomUp() override;

    // Time stamp, width, height, flag, then the block's length and bytes;
    // a block longer than getLongestBlock allows is sent only that far.
    void write(lumo::IDataOutStream& out) override;
    // readWithin without bounds beyond those of the wire form.
    bool read(lumo::IDataInStream& in) override;
    // Throws CException, before taking any memory, for a negative size, one
    // wider than `maxWidth` or higher than `maxHeight`, or a block length
    // shorter than the layout's or longer than getLongestBlock for the size
    // read. While the bytes come the
    // picture is empty (0 by 0), and stays so when they are cut short (the
    // stream's error). Reads into the picture's own block, or one from the
    // memory manager when it has none.
    bool readWithin(lumo::IDataInStream& in, int32_t maxWidth, int32_t maxHeight);

    // The most rows a picture's planes may be spaced for beyond its height:
    // what decoders that write whole blocks of rows need.
    static constexpr int32_t maxExtraPlaneRows = 64;

    // The stored pixels: getPixelBytes() bytes from getPixelData() (null for
    // an empty picture), the layout's bytes for a picture getPlaneRows() high.
    int64_t getPixelBytes() const { return getLayoutSize(m_width, m_planeRows); }
    const uint8_t* getPixelData() const { return getPixels(); }
    // The rows the planes are laid out for: the height, or more where each
    // plane keeps room for the rows a decoder wrote beyond the picture (the
    // planes lie as those of a picture this high, of which the top rows
    // show). Only the planar layouts are ever spaced so.
    int32_t getPlaneRows() const { return m_planeRows; }
    SStoredPixels getStoredPixels() override { return {m_block, getPixelBytes(), m_planeRows}; }

protected:
    // A null `manager` means the process-wide one. `block` may be null only
    // for an empty picture. `planeRows` of 0 means the height. Concrete
    // classes call checkBlock() once built.
    CPictureBase(lumo::P<lumo::IMemoryManager> manager, double timestamp, lumo::P<lumo::IMemoryBlock> block,
                 int32_t width, int32_t height, bool bottomUp, int32_t planeRows = 0);

    // Time stamp, width, height and flag, as write() starts.
    void writeHeader(lumo::IDataOutStream& out);

    // The bytes the layout needs for a size (no overflow for any int32 size).
    virtual int64_t getLayoutSize(int64_t width, int64_t height) const = 0;
    // The longest block a picture of this size carries: the layout's bytes,
    // or 2*width*height where that is more, as a planar picture's quarter
    // reduction makes. The bytes beyond the layout's mean nothing.
    int64_t getLongestBlock(int64_t width, int64_t height) const;
    // Called whenever the pixels change under the picture.
    virtual void onPixelsReplaced() {}

    // Throws CInvalidArgError for a negative size, plane rows below the
    // height or more than maxExtraPlaneRows beyond it, or a block that holds
    // fewer bytes than the layout needs for the plane rows.
    void checkBlock();
    void checkRegion(int32_t x, int32_t y, int32_t nWidth, int32_t nHeight, const char* method);
    // A null buffer for a non-empty region, or negative sizes.
    void checkDestination(const uint8_t* pDest, int32_t nWidth, int32_t nHeight, const char* method);
    bool isWholePicture(int32_t x, int32_t y, int32_t nWidth, int32_t nHeight) const;

    lumo::IMemoryManager& getMemoryManager() const { return *m_memoryManager; }
    const lumo::P<lumo::IMemoryBlock>& getBlock() const { return m_block; }
    uint8_t* getPixels() const { return m_block ? m_block->getData() : nullptr; }
    // A new block from the memory manager, `size` bytes in use.
    lumo::P<lumo::IMemoryBlock> allocateBlock(int64_t size);
    // A new block of getLongestBlock bytes for a size, zero beyond the
    // layout's bytes, so that what is sent of it is never stale memory.
    lumo::P<lumo::IMemoryBlock> allocateLongestBlock(int64_t width, int64_t height);
    // `rows` rows of `rowBytes` bytes, `sourcePitch` apart from `offset` of
    // the picture's block, into a new block without gaps.
    lumo::P<lumo::IMemoryBlock> copyRegion(int64_t offset, int64_t sourcePitch, int64_t rowBytes, int32_t rows);
    // The picture takes a new block and size, planes without gaps
    // (reductions).
    void replacePixels(lumo::P<lumo::IMemoryBlock> block, int32_t width, int32_t height);

    static void copyRows(const uint8_t* source, std::ptrdiff_t sourcePitch, uint8_t* dest, std::ptrdiff_t destPitch,
                         int64_t rowBytes, int32_t rows);

    // One plane of a layout, for reductions: `columns` samples of
    // `sampleBytes` in each of `rows` rows, `pitch` bytes apart from `offset`.
    struct SPlane {
        int64_t offset;
        int64_t pitch;
        int64_t columns;
        int64_t rows;
        int32_t sampleBytes;
    };
    // Fills `to` of `dest` with every fourth sample of every fourth row of
    // `from` of the picture's block.
    void keepEveryFourth(const SPlane& from, uint8_t* dest, const SPlane& to) const;

private:
    lumo::P<lumo::IMemoryManager> m_memoryManager;
    double m_timestamp;
    lumo::P<lumo::IMemoryBlock> m_block;
    int32_t m_width;
    int32_t m_height;
    int32_t m_planeRows;
    bool m_bottomUp;
};

} // namespace nebo::common
