#include "BenchResponse.h"

BenchResponse::BenchResponse(std::function<void()> done)
    : done_(std::move(done))
{
}

void BenchResponse::OnData(qint64 bytes)
{
    written_ += bytes;
}

void BenchResponse::OnResult(Result result)
{
    result_ = result;
    done_();
}
