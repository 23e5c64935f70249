#pragma once

#include "IResponse.h"

#include <functional>

// Counts the bytes a download writes and keeps its result.
class BenchResponse : public Brel::IResponse {
public:
    explicit BenchResponse(std::function<void()> done);

    void OnData(qint64 bytes) override;
    void OnResult(Result result) override;

    qint64 Written() const { return written_; }
    Result LastResult() const { return result_; }

private:
    std::function<void()> done_;
    qint64 written_ = 0;
    Result result_ = ContentError;
};
