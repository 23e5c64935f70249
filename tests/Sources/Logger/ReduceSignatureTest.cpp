#include "Log.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>

// The names are taken from the compiler itself, so the table follows
// whatever form GCC gives them.
namespace {

struct Sample {
    static std::string Static() { return __PRETTY_FUNCTION__; }
    std::string Const() const
    {
        return [] { return std::string(__PRETTY_FUNCTION__); }();
    }
    std::string NestedLambda()
    {
        return [] { return [x = 0]() mutable { return std::string(__PRETTY_FUNCTION__) + char('0' + x); }(); }();
    }
    std::string operator()(int) { return __PRETTY_FUNCTION__; }
    bool operator<(const Sample&) const { return false; }
    std::string operator<<(int) { return __PRETTY_FUNCTION__; }
    explicit operator bool() const { return true; }
    operator std::map<int, std::string>() const { return {{0, __PRETTY_FUNCTION__}}; }
    std::function<void(int)> ReturnsFunction(std::string* name) &&
    {
        *name = __PRETTY_FUNCTION__;
        return {};
    }
    std::string LocalClass()
    {
        struct Local {
            std::string Name() { return __PRETTY_FUNCTION__; }
        };
        return Local().Name();
    }
    template <class T> static std::string Template(T) { return __PRETTY_FUNCTION__; }
};

std::string Free()
{
    return __PRETTY_FUNCTION__;
}

} // namespace

TEST(ReduceSignature, GivesTheQualifiedNameOfGccSignatures)
{
    std::string returnsFunction;
    Sample().ReturnsFunction(&returnsFunction);
    const std::pair<std::string, std::string> cases[] = {
        {Sample::Static(), "{anonymous}::Sample::Static"},
        {Sample().Const(), "{anonymous}::Sample::Const::<lambda>"},
        {Sample().NestedLambda(), "{anonymous}::Sample::NestedLambda::<lambda>::<lambda>"},
        {Sample()(1), "{anonymous}::Sample::operator()"},
        {Sample() << 1, "{anonymous}::Sample::operator<<"},
        {std::map<int, std::string>(Sample()).at(0),
            "{anonymous}::Sample::operator std::map<int, std::__cxx11::basic_string<char> >"},
        {returnsFunction, "{anonymous}::Sample::ReturnsFunction"},
        {Sample().LocalClass(), "{anonymous}::Sample::LocalClass::Local::Name"},
        {Sample::Template(1), "{anonymous}::Sample::Template"},
        {Free(), "{anonymous}::Free"},
        {[] { return std::string(__PRETTY_FUNCTION__); }(),
            "ReduceSignature_GivesTheQualifiedNameOfGccSignatures_Test::TestBody::<lambda>"},
    };
    for (const auto& [signature, name] : cases)
        EXPECT_EQ(Log::ReduceSignature(signature), name) << signature;
}

TEST(ReduceSignature, HandlesOperatorsOfOtherForms)
{
    EXPECT_EQ(Log::ReduceSignature("bool B::operator<(const B&) const"), "B::operator<");
    EXPECT_EQ(Log::ReduceSignature("B::operator bool() const"), "B::operator bool");
    EXPECT_EQ(Log::ReduceSignature("static void* B::operator new(size_t)"), "B::operator new");
    EXPECT_EQ(Log::ReduceSignature("virtual B::~B()"), "B::~B");
    EXPECT_EQ(Log::ReduceSignature("void C<T>::k() [with T = int]"), "C<T>::k");
    EXPECT_EQ(Log::ReduceSignature("int main(int, char**)"), "main");
    EXPECT_EQ(Log::ReduceSignature("main(int, char**)::<lambda(ApplicationGuard::Event)>"), "main::<lambda>");
}

TEST(FormatFunctionName, ShortensLambdaNames)
{
    EXPECT_EQ(
        Log::FormatFunctionName("UsbManager::MassStorageCome::<lambda_91ba3083bcd59cb653aa2b8c544ebad3>::operator ()"),
        "UsbManager::MassStorageCome::<lambda>");
    EXPECT_EQ(Log::FormatFunctionName("Config::Config"), "Config::Config");
}
