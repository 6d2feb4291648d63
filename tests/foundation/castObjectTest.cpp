#include "foundation/castObject.h"

#include "foundation/CObject.h"
#include "foundation/String.h"

#include <gtest/gtest.h>

namespace lumo {
namespace {

class IReadable : public virtual IBase {};
class ISeekable : public virtual IBase {};

class CReadable : public CObject, public virtual IReadable {};
class CSeekable : public CObject, public virtual ISeekable {};
class CBoth : public CObject, public virtual IReadable, public virtual ISeekable {};

// A wrapper that offers seeking only when what it wraps does.
class CWrapper : public CObject, public virtual IReadable, public virtual ISeekable {
public:
    explicit CWrapper(P<IBase> wrapped) : m_wrapped(std::move(wrapped)) {}
    bool getInterface(const std::type_info& type, P<IBase>& redirect, Candidates& candidates) override
    {
        if (type == typeid(ISeekable))
            return castObject<ISeekable>(m_wrapped, false) != nullptr;
        return CObject::getInterface(type, redirect, candidates);
    }

private:
    P<IBase> m_wrapped;
};

class CRedirecting : public CObject {
public:
    explicit CRedirecting(P<IBase> target) : m_target(std::move(target)) {}
    bool getInterface(const std::type_info&, P<IBase>& redirect, Candidates&) override
    {
        redirect = m_target;
        return true;
    }

private:
    P<IBase> m_target;
};

class CWithCandidates : public CObject {
public:
    explicit CWithCandidates(Candidates offered) : m_offered(std::move(offered)) {}
    bool getInterface(const std::type_info&, P<IBase>&, Candidates& candidates) override
    {
        candidates = m_offered;
        return true;
    }

private:
    Candidates m_offered;
};

TEST(castObjectTest, NullGivesNullWithoutThrowing)
{
    EXPECT_EQ(castObject<IReadable>(P<IBase>(), true), nullptr);
}

TEST(castObjectTest, CastsToAnOfferedInterface)
{
    P<IBase> object = make<CBoth>();
    EXPECT_EQ(castObject<ISeekable>(object).get(), dynamic_cast<ISeekable*>(object.get()));
    EXPECT_EQ(castObject<ISeekable>(make<CReadable>(), false), nullptr);
}

TEST(castObjectTest, RefusalThrowsEvenWhenTheClassDerives)
{
    P<IBase> wrapper = make<CWrapper>(make<CReadable>());
    EXPECT_TRUE(castObject<IReadable>(wrapper, false));
    EXPECT_EQ(castObject<ISeekable>(wrapper, false), nullptr);
    try {
        castObject<ISeekable>(wrapper);
        FAIL() << "no error";
    } catch (const CCastError& error) {
        EXPECT_EQ(String(error.getDescription()).toUTF8(),
                  "Error casting a 'class lumo::(anonymous namespace)::CWrapper' object to "
                  "'class lumo::(anonymous namespace)::ISeekable'.");
    }
    EXPECT_TRUE(castObject<ISeekable>(make<CWrapper>(make<CSeekable>()), false));
}

TEST(castObjectTest, FollowsRedirectsToTheEnd)
{
    P<CSeekable> target = make<CSeekable>();
    P<IBase> chain = make<CRedirecting>(make<CRedirecting>(target));
    EXPECT_EQ(castObject<ISeekable>(chain).get(), static_cast<ISeekable*>(target.get()));
    EXPECT_EQ(castObject<ISeekable>(make<CRedirecting>(make<CReadable>()), false), nullptr);
}

TEST(castObjectTest, TriesCandidatesInOrderWhenTheObjectItselfDoesNotFit)
{
    P<CReadable> readable = make<CReadable>();
    P<CSeekable> first = make<CSeekable>();
    P<CSeekable> second = make<CSeekable>();
    P<IBase> object = make<CWithCandidates>(IBase::Candidates{readable, first, second});
    EXPECT_EQ(castObject<ISeekable>(object).get(), static_cast<ISeekable*>(first.get()));
}

} // namespace
} // namespace lumo
