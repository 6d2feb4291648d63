#include "streams/CStreamManager.h"

#include "expectError.h"
#include "foundation/CFileNotFoundError.h"
#include "foundation/CURI.h"
#include "streams/CMemoryIOStream.h"

#include <gtest/gtest.h>

#include <string>

namespace lumo {
namespace {

// Answers for one scheme with a memory stream that carries the URI; logs every question by the factory's name.
class CSchemeFactory : public CObject, public virtual IStreamFactory {
public:
    CSchemeFactory(std::string scheme, std::string& log) : m_scheme(std::move(scheme)), m_log(log) {}

    P<IInStream> openInStream(const P<IURI>& uri) override { return open(uri); }
    P<IOutStream> openOutStream(const P<IURI>& uri) override { return open(uri); }
    P<IIOStream> openIOStream(const P<IURI>& uri) override { return open(uri); }

    P<CMemoryIOStream> m_lastOpened;

private:
    P<CMemoryIOStream> open(const P<IURI>& uri)
    {
        m_log += m_scheme + " ";
        if (uri->getScheme().toUTF8() == m_scheme)
            return m_lastOpened = make<CMemoryIOStream>(nullptr, uri);
        return nullptr;
    }

    std::string m_scheme;
    std::string& m_log;
};

struct CStreamManagerTest : ::testing::Test {
    std::string log;
    P<CStreamManager> manager = make<CStreamManager>();
    P<CSchemeFactory> memA = make<CSchemeFactory>("mem", log);
    P<CSchemeFactory> memB = make<CSchemeFactory>("mem", log);
    P<IURI> memURI = make<CURI>(String("mem:x")), unknownURI = make<CURI>(String("nobody:x"));
};

TEST_F(CStreamManagerTest, FactoriesAreAskedInRegistrationOrder)
{
    manager->registerFactory(make<CSchemeFactory>("other", log));
    manager->registerFactory(memA);
    manager->registerFactory(memB);
    P<IInStream> in = manager->openInStream(memURI);
    EXPECT_EQ(in.get(), static_cast<IInStream*>(memA->m_lastOpened.get()));
    EXPECT_EQ(log, "other mem ");

    manager->unregisterFactory(memA.get());
    P<IOutStream> out = manager->openOutStream(memURI);
    EXPECT_EQ(out.get(), static_cast<IOutStream*>(memB->m_lastOpened.get()));
}

TEST_F(CStreamManagerTest, TryingFormsGiveNullAndPlainFormsThrowForTheURI)
{
    manager->registerFactory(memA);
    EXPECT_FALSE(manager->tryOpenOutStream(unknownURI));
    EXPECT_TRUE(manager->tryOpenIOStream(memURI));

    expectThrow<CFileNotFoundError>([&] { manager->openInStream(unknownURI); },
                                    [&](const CFileNotFoundError& error) {
                                        EXPECT_EQ(error.getURI().get(), static_cast<const IURI*>(unknownURI.get()));
                                    });
}

} // namespace
} // namespace lumo
