#include "Log.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

// The names come from the compiler itself, so the table follows GCC's forms.
namespace {

struct Sample {
    Sample()
        : constructor(__PRETTY_FUNCTION__)
    {
    }
    std::string constructor;
    static std::string Static() { return __PRETTY_FUNCTION__; }
    std::string Lambdas() const
    {
        return [] { return [x = 0]() mutable { return std::string(__PRETTY_FUNCTION__) + char('0' + x); }(); }();
    }
    std::string operator()(int) { return __PRETTY_FUNCTION__; }
    operator std::map<int, std::string>() const { return {{0, __PRETTY_FUNCTION__}}; }
    std::string LocalClass()
    {
        struct Local {
            std::string Name() { return __PRETTY_FUNCTION__; }
        };
        return Local().Name();
    }
    template <class T> static std::string Template(T) { return __PRETTY_FUNCTION__; }
};

} // namespace

TEST(ReduceSignature, GivesTheQualifiedName)
{
    const std::pair<std::string, std::string> cases[] = {
        {Sample().constructor, "{anonymous}::Sample::Sample"},
        {Sample::Static(), "{anonymous}::Sample::Static"},
        {Sample().Lambdas(), "{anonymous}::Sample::Lambdas::<lambda>::<lambda>"},
        {Sample()(1), "{anonymous}::Sample::operator()"},
        {std::map<int, std::string>(Sample()).at(0),
            "{anonymous}::Sample::operator std::map<int, std::__cxx11::basic_string<char> >"},
        {Sample().LocalClass(), "{anonymous}::Sample::LocalClass::Local::Name"},
        {Sample::Template(1), "{anonymous}::Sample::Template"},
        {"std::map<int, std::string> B::m() &&", "B::m"},
        {"bool B::operator<(const B&) const", "B::operator<"},
        {"virtual B::~B()", "B::~B"},
    };
    for (const auto& [signature, name] : cases)
        EXPECT_EQ(Log::ReduceSignature(signature), name) << signature;
    EXPECT_EQ(
        Log::FormatFunctionName("UsbManager::MassStorageCome::<lambda_91ba3083bcd59cb653aa2b8c544ebad3>::operator ()"),
        "UsbManager::MassStorageCome::<lambda>");
}
