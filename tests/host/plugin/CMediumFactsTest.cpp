#include "host/plugin/CMediumFacts.h"

#include "foundation/CParseError.h"
#include "host/slaveReplies.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace nebo::common {
namespace {

using lumo::String;

SMediumFacts fullFacts()
{
    const SPictureStreamFacts pictures{0,        "h264",      "High",     "yuv420p10le", 10,      "4:2:0", "tv",
                                       "bt2020", "smpte2084", "bt2020nc", {4, 3},        {16, 9}, 90,      1000000};
    const SSoundTrackFacts sound{1, "flac", "", "s24", 24, "5.1(side)", 900000, "fra"};
    SMediumFacts facts{"matroska,webm", "Matroska / WebM", 1234567, {}, {}, {pictures}, {sound, sound}, "f32"};
    facts.tags = {{"title", String::fromUTF8("\xc3\xa9t\xc3\xa9")}, {"encoder", "x"}};
    facts.chapters = {{0.0, 1.5, "One"}, {1.5, 3.0, "Two"}};
    return facts;
}

Bytes writtenBytes(const SMediumFacts& facts)
{
    SWire wire;
    lumo::make<CMediumFacts>(facts)->write(*wire.out);
    return wire.written();
}

TEST(CMediumFactsTest, TheWireFormIsFixed)
{
    const SSoundTrackFacts sound{3, "", "", "s16", 16, "", 0, ""};
    const SMediumFacts facts{"demo", "", 0x0102030405, {{"title", "T"}}, {}, {}, {sound}, ""};
    const Bytes expected = wireText("demo") + wireText("") + Bytes{0x05, 0x04, 0x03, 0x02, 0x01, 0, 0, 0} +
                           wireInt32(1) + wireText("title") + wireText("T") + wireInt32(0) + wireInt32(0) +
                           wireInt32(1) + wireInt32(3) + wireText("") + wireText("") + wireText("s16") + wireInt32(16) +
                           wireText("") + Bytes(8, 0) + wireText("") + wireText("");
    EXPECT_EQ(writtenBytes(facts), expected);
}

// Written again, the facts read must give the same bytes: nothing was dropped or changed on the way. Values at the
// bounds are taken.
TEST(CMediumFactsTest, FactsReadBackAsWrittenUpToTheBounds)
{
    SMediumFacts atBounds = fullFacts();
    atBounds.tags.resize(CMediumFacts::maxTags, {String("k"), String::fromUTF8(std::string(4096, 'v'))});
    atBounds.pictureStreams[0].rotation = 270;
    atBounds.pictureStreams[0].sampleAspect = {CMediumFacts::maxRatioTerm, 1};
    atBounds.bitRate = CMediumFacts::maxBitRate;
    atBounds.chapters = {{2.0, 2.0, String()}};
    for (const SMediumFacts& facts : {fullFacts(), atBounds}) {
        const Bytes written = writtenBytes(facts);
        SWire wire;
        const lumo::P<CMediumFacts> received = lumo::make<CMediumFacts>();
        EXPECT_TRUE(received->read(wire.feed(written)));
        EXPECT_EQ(writtenBytes(received->get()), written);
        EXPECT_EQ(received->get().pictureStreams.at(0).colourTransfer, String("smpte2084"));
        EXPECT_EQ(received->get().chapters.back().start, facts.chapters.back().start);
    }
}

struct SRefusal {
    const char* name;
    std::function<void(SMediumFacts&)> lie;
    // A word the refusal names.
    const char* named;
};

TEST(CMediumFactsTest, ValuesOutsideTheBoundsAreRefusedAndTheOldFactsKept)
{
    const auto longText = [] { return String::fromUTF8(std::string(CMediumFacts::maxTextBytes + 1, 'x')); };
    const SRefusal refusals[] = {
        {"tags", [](SMediumFacts& f) { f.tags.resize(CMediumFacts::maxTags + 1); }, "257 tags"},
        {"chapters", [](SMediumFacts& f) { f.chapters.resize(CMediumFacts::maxChapters + 1); }, "chapters"},
        {"streams", [](SMediumFacts& f) { f.soundTracks.resize(CMediumFacts::maxStreams + 1); }, "sound tracks"},
        {"text", [&](SMediumFacts& f) { f.tags[0].second = longText(); }, "tag value of 4097 bytes"},
        {"last text", [&](SMediumFacts& f) { f.soundTracks[1].language = longText(); }, "language"},
        {"bit rate", [](SMediumFacts& f) { f.bitRate = -1; }, "bit rate -1"},
        {"huge bit rate", [](SMediumFacts& f) { f.bitRate = CMediumFacts::maxBitRate + 1; }, "bit rate"},
        {"ratio", [](SMediumFacts& f) { f.pictureStreams[0].sampleAspect.den = -3; }, "sample aspect"},
        {"rotation", [](SMediumFacts& f) { f.pictureStreams[0].rotation = 45; }, "quarter turn"},
        {"rotation past", [](SMediumFacts& f) { f.pictureStreams[0].rotation = 360; }, "rotation 360"},
        {"depth", [](SMediumFacts& f) { f.pictureStreams[0].bitDepth = 33; }, "bit depth"},
        {"bits", [](SMediumFacts& f) { f.soundTracks[0].bitsPerSample = -8; }, "bits per sample"},
        {"index", [](SMediumFacts& f) { f.soundTracks[0].index = -1; }, "track index"},
        {"chapter order", [](SMediumFacts& f) { f.chapters[0].end = -1.0; }, "ends before it starts"},
        {"chapter nan", [](SMediumFacts& f) { f.chapters[0].start = std::nan(""); }, "not a number"},
        {"delivered", [](SMediumFacts& f) { f.deliveredSampleFormat = String("s24"); }, "delivered"},
    };
    for (const SRefusal& refusal : refusals) {
        SMediumFacts lying = fullFacts();
        refusal.lie(lying);
        SWire wire;
        const lumo::P<CMediumFacts> facts = lumo::make<CMediumFacts>(fullFacts());
        try {
            facts->read(wire.feed(writtenBytes(lying)));
            ADD_FAILURE() << refusal.name << ": not refused";
        } catch (const lumo::CParseError& error) {
            EXPECT_NE(String(error.getDescription()).toUTF8().find(refusal.named), std::string::npos)
                << refusal.name << ": " << String(error.getDescription()).toUTF8();
        }
        EXPECT_EQ(writtenBytes(facts->get()), writtenBytes(fullFacts())) << refusal.name;
    }
}

} // namespace
} // namespace nebo::common
