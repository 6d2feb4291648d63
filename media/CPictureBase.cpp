#include "media/CPictureBase.h"

#include "foundation/CException.h"
#include "foundation/CInvalidArgError.h"
#include "media/SPictureHeader.h"
#include "media/blockTransfer.h"
#include "streams/CMemoryManager.h"
#include "streams/IDataInStream.h"
#include "streams/IDataOutStream.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <typeinfo>

namespace nebo::common {

namespace {

constexpr int64_t maxBlockBytes = std::numeric_limits<int32_t>::max();

lumo::CException receivedError(const lumo::String& text) { return lumo::CException(text, lumo::String("Error")); }

lumo::String sizeText(int32_t width, int32_t height)
{
    return lumo::String::fromInt(width) + lumo::String("x") + lumo::String::fromInt(height);
}

} // namespace

CPictureBase::CPictureBase(lumo::P<lumo::IMemoryManager> manager, double timestamp, lumo::P<lumo::IMemoryBlock> block,
                           int32_t width, int32_t height, bool bottomUp, int32_t planeRows)
    : m_memoryManager(manager ? std::move(manager) : lumo::getMemoryManager()), m_timestamp(timestamp),
      m_block(std::move(block)), m_width(width), m_height(height), m_planeRows(planeRows == 0 ? height : planeRows),
      m_bottomUp(bottomUp)
{
}

double CPictureBase::getTimestamp() { return m_timestamp; }

int32_t CPictureBase::getWidth() { return m_width; }

int32_t CPictureBase::getHeight() { return m_height; }

bool CPictureBase::isBottomUp() { return m_bottomUp; }

void CPictureBase::write(lumo::IDataOutStream& out)
{
    writeHeader(out);
    const int64_t blockLength = m_block ? m_block->getSize() : 0;
    writeBlockBytes(out, getPixels(), static_cast<int32_t>(std::min(blockLength, getLongestBlock(m_width, m_height))));
}

void CPictureBase::writeHeader(lumo::IDataOutStream& out) { SPictureHeader::of(*this).write(out); }

bool CPictureBase::read(lumo::IDataInStream& in)
{
    return readWithin(in, std::numeric_limits<int32_t>::max(), std::numeric_limits<int32_t>::max());
}

bool CPictureBase::readWithin(lumo::IDataInStream& in, int32_t maxWidth, int32_t maxHeight)
{
    const auto [timestamp, width, height, bottomUp] = SPictureHeader::read(in);
    const int32_t length = in.readInt32();
    if (width < 0 || height < 0)
        throw receivedError("A picture with a negative size was received.");
    if (width > maxWidth || height > maxHeight)
        throw receivedError(lumo::String("A picture of ") + sizeText(width, height) +
                            lumo::String(" was received where at most ") + sizeText(maxWidth, maxHeight) +
                            lumo::String(" may come."));
    if (length < getLayoutSize(width, height) || length > getLongestBlock(width, height))
        throw receivedError("The length of a received picture's pixels does not match its size and layout.");

    replacePixels(m_block, 0, 0);
    m_timestamp = 0.0;
    m_bottomUp = false;
    if (!m_block)
        m_block = m_memoryManager->allocate(std::min(length, maxUpFrontBlockBytes));
    readBlockBytes(in, *m_block, length);
    m_timestamp = timestamp;
    m_width = width;
    m_height = height;
    m_planeRows = height;
    m_bottomUp = bottomUp;
    return true;
}

int64_t CPictureBase::getLongestBlock(int64_t width, int64_t height) const
{
    return std::max(getLayoutSize(width, height), 2 * width * height);
}

void CPictureBase::checkBlock()
{
    // Called from constructors: the error must not hold the half-made picture.
    const std::type_info* type = &typeid(*this);
    if (m_width < 0 || m_height < 0)
        throw lumo::CInvalidArgError("the width and height must not be negative", "constructor", nullptr, type);
    if (m_planeRows < m_height || int64_t(m_planeRows) > int64_t(m_height) + maxExtraPlaneRows)
        throw lumo::CInvalidArgError("the planes must be spaced for the height or a few rows more", "constructor",
                                     nullptr, type);
    const int64_t needed = getLayoutSize(m_width, m_planeRows);
    if (needed > maxBlockBytes)
        throw lumo::CInvalidArgError("the picture is too large for a block", "constructor", nullptr, type);
    if (needed > (m_block ? m_block->getSize() : 0))
        throw lumo::CInvalidArgError("the block holds fewer bytes than the picture needs", "constructor", nullptr,
                                     type);
}

void CPictureBase::checkRegion(int32_t x, int32_t y, int32_t nWidth, int32_t nHeight, const char* method)
{
    if (x < 0 || y < 0 || nWidth < 0 || nHeight < 0 || int64_t(x) + nWidth > m_width || int64_t(y) + nHeight > m_height)
        throw lumo::CInvalidArgError("the region must lie inside the picture", lumo::String::fromLatin1(method), this);
}

void CPictureBase::checkDestination(const uint8_t* pDest, int32_t nWidth, int32_t nHeight, const char* method)
{
    if (nWidth < 0 || nHeight < 0)
        throw lumo::CInvalidArgError("the sizes must not be negative", lumo::String::fromLatin1(method), this);
    if (!pDest && nWidth > 0 && nHeight > 0)
        throw lumo::CInvalidArgError("the destination must not be null", lumo::String::fromLatin1(method), this);
}

bool CPictureBase::isWholePicture(int32_t x, int32_t y, int32_t nWidth, int32_t nHeight) const
{
    return x == 0 && y == 0 && nWidth == m_width && nHeight == m_height;
}

lumo::P<lumo::IMemoryBlock> CPictureBase::allocateBlock(int64_t size)
{
    if (size > maxBlockBytes)
        throw lumo::CInvalidArgError("the picture is too large for a block", "allocateBlock", this);
    lumo::P<lumo::IMemoryBlock> block = m_memoryManager->allocate(static_cast<int32_t>(size));
    block->reserve(static_cast<int32_t>(size));
    block->setSize(static_cast<int32_t>(size));
    return block;
}

lumo::P<lumo::IMemoryBlock> CPictureBase::allocateLongestBlock(int64_t width, int64_t height)
{
    const int64_t layoutSize = getLayoutSize(width, height);
    const int64_t longest = getLongestBlock(width, height);
    lumo::P<lumo::IMemoryBlock> block = allocateBlock(longest);
    std::memset(block->getData() + layoutSize, 0, static_cast<size_t>(longest - layoutSize));
    return block;
}

lumo::P<lumo::IMemoryBlock> CPictureBase::copyRegion(int64_t offset, int64_t sourcePitch, int64_t rowBytes,
                                                     int32_t rows)
{
    lumo::P<lumo::IMemoryBlock> region = allocateBlock(rowBytes * rows);
    if (rowBytes == 0 || rows == 0)
        return region;
    // The callers' arithmetic keeps inside the layout; this keeps inside the
    // block whatever that arithmetic does.
    if (offset < 0 || offset + (rows - 1) * sourcePitch + rowBytes > m_block->getSize())
        throw lumo::CInvalidArgError("the region must lie inside the picture", "copyRegion", this);
    copyRows(m_block->getData() + offset, sourcePitch, region->getData(), rowBytes, rowBytes, rows);
    return region;
}

void CPictureBase::replacePixels(lumo::P<lumo::IMemoryBlock> block, int32_t width, int32_t height)
{
    m_block = std::move(block);
    m_width = width;
    m_height = height;
    m_planeRows = height;
    onPixelsReplaced();
}

void CPictureBase::copyRows(const uint8_t* source, std::ptrdiff_t sourcePitch, uint8_t* dest, std::ptrdiff_t destPitch,
                            int64_t rowBytes, int32_t rows)
{
    for (int32_t row = 0; row < rows; ++row)
        std::memcpy(dest + row * destPitch, source + row * sourcePitch, static_cast<size_t>(rowBytes));
}

void CPictureBase::keepEveryFourth(const SPlane& from, uint8_t* dest, const SPlane& to) const
{
    const uint8_t* source = getPixels();
    for (int64_t row = 0; row < to.rows; ++row)
        for (int64_t column = 0; column < to.columns; ++column)
            std::memcpy(dest + to.offset + row * to.pitch + column * to.sampleBytes,
                        source + from.offset + 4 * row * from.pitch + 4 * column * from.sampleBytes,
                        static_cast<size_t>(to.sampleBytes));
}

} // namespace nebo::common
