#include "foundation/castObject.h"

#include "foundation/CObject.h"

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

// Sends castObject elsewhere: to a redirect, or to candidates to try in order.
class CForwarding : public CObject {
public:
    CForwarding(P<IBase> redirect, Candidates candidates = {})
        : m_redirect(std::move(redirect)), m_candidates(std::move(candidates))
    {
    }
    bool getInterface(const std::type_info&, P<IBase>& redirect, Candidates& candidates) override
    {
        redirect = m_redirect;
        candidates = m_candidates;
        return true;
    }

private:
    P<IBase> m_redirect;
    Candidates m_candidates;
};

TEST(castObjectTest, CastsToAnOfferedInterfaceAndNullToNull)
{
    P<IBase> object = make<CBoth>();
    EXPECT_EQ(castObject<ISeekable>(object).get(), dynamic_cast<ISeekable*>(object.get()));
    EXPECT_EQ(castObject<ISeekable>(make<CReadable>(), false), nullptr);
    EXPECT_EQ(castObject<IReadable>(P<IBase>(), true), nullptr);
}

TEST(castObjectTest, RefusalThrowsEvenWhenTheClassDerives)
{
    P<IBase> wrapper = make<CWrapper>(make<CReadable>());
    EXPECT_EQ(castObject<ISeekable>(wrapper, false), nullptr);
    EXPECT_THROW(castObject<ISeekable>(wrapper), CCastError);
    EXPECT_TRUE(castObject<ISeekable>(make<CWrapper>(make<CSeekable>()), false));
}

TEST(castObjectTest, FollowsRedirectsToTheEndAndTriesCandidatesInOrder)
{
    P<CSeekable> target = make<CSeekable>();
    P<IBase> chain = make<CForwarding>(make<CForwarding>(target));
    EXPECT_EQ(castObject<ISeekable>(chain).get(), static_cast<ISeekable*>(target.get()));
    EXPECT_EQ(castObject<ISeekable>(make<CForwarding>(make<CReadable>()), false), nullptr);

    P<IBase> object = make<CForwarding>(nullptr, IBase::Candidates{make<CReadable>(), target, make<CSeekable>()});
    EXPECT_EQ(castObject<ISeekable>(object).get(), static_cast<ISeekable*>(target.get()));
}

} // namespace
} // namespace lumo
