#include "streams/CStreamManager.h"

#include "foundation/CFileNotFoundError.h"
#include "foundation/CInvalidArgError.h"
#include "foundation/CURI.h"
#include "streams/CMemoryIOStream.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lumo {
namespace {

// Answers for one scheme with a memory stream that carries the URI, and
// records which factories were asked, in order.
class CSchemeFactory : public CObject, public virtual IStreamFactory {
public:
    CSchemeFactory(std::string scheme, std::vector<std::string>& asked) : m_scheme(std::move(scheme)), m_asked(asked)
    {
    }

    P<IInStream> openInStream(const P<IURI>& uri) override { return open(uri); }
    P<IOutStream> openOutStream(const P<IURI>& uri) override { return open(uri); }
    P<IIOStream> openIOStream(const P<IURI>& uri) override { return open(uri); }

    P<CMemoryIOStream> m_lastOpened;

private:
    P<CMemoryIOStream> open(const P<IURI>& uri)
    {
        m_asked.push_back(m_scheme);
        if (uri->getScheme().toUTF8() != m_scheme)
            return nullptr;
        m_lastOpened = make<CMemoryIOStream>(nullptr, uri);
        return m_lastOpened;
    }

    std::string m_scheme;
    std::vector<std::string>& m_asked;
};

struct CStreamManagerTest : ::testing::Test {
    std::vector<std::string> asked;
    P<CStreamManager> manager = make<CStreamManager>();
    P<CSchemeFactory> memA = make<CSchemeFactory>("mem", asked);
    P<CSchemeFactory> memB = make<CSchemeFactory>("mem", asked);
    P<CSchemeFactory> other = make<CSchemeFactory>("other", asked);
    P<IURI> memURI = make<CURI>(String("mem:x"));
    P<IURI> unknownURI = make<CURI>(String("nobody:x"));
};

TEST_F(CStreamManagerTest, FactoriesAreAskedInRegistrationOrder)
{
    manager->registerFactory(other);
    manager->registerFactory(memA);
    manager->registerFactory(memB);
    P<IInStream> in = manager->openInStream(memURI);
    EXPECT_EQ(in.get(), static_cast<IInStream*>(memA->m_lastOpened.get()));
    EXPECT_EQ(asked, (std::vector<std::string>{"other", "mem"}));
    EXPECT_EQ(in->getURI(), memURI);

    manager->unregisterFactory(memA.get());
    P<IOutStream> out = manager->openOutStream(memURI);
    EXPECT_EQ(out.get(), static_cast<IOutStream*>(memB->m_lastOpened.get()));
}

TEST_F(CStreamManagerTest, TryingFormsGiveNullWhenNoFactoryAnswers)
{
    manager->registerFactory(memA);
    EXPECT_FALSE(manager->tryOpenInStream(unknownURI));
    EXPECT_FALSE(manager->tryOpenOutStream(unknownURI));
    EXPECT_FALSE(manager->tryOpenIOStream(unknownURI));
    EXPECT_TRUE(manager->tryOpenIOStream(memURI));
    EXPECT_EQ(asked.size(), 4u);
}

TEST_F(CStreamManagerTest, PlainFormsThrowFileNotFoundForTheURI)
{
    manager->registerFactory(memA);
    const std::function<void()> opens[] = {
        [&] { manager->openInStream(unknownURI); },
        [&] { manager->openOutStream(unknownURI); },
        [&] { manager->openIOStream(unknownURI); },
    };
    for (const auto& open : opens) {
        try {
            open();
            FAIL();
        } catch (const CFileNotFoundError& error) {
            EXPECT_EQ(error.getURI().get(), static_cast<const IURI*>(unknownURI.get()));
            EXPECT_EQ(error.getDescription()->toUTF8(), "The file 'nobody:x' was not found.");
        }
    }
}

TEST_F(CStreamManagerTest, NullArgumentsAreRefused)
{
    EXPECT_THROW(manager->registerFactory(nullptr), CInvalidArgError);
    EXPECT_THROW(manager->tryOpenInStream(nullptr), CInvalidArgError);
    manager->unregisterFactory(memA.get()); // never registered: ignored
}

} // namespace
} // namespace lumo
