// The bitmap reader's messages, recorded instead of shown in message boxes
// for as long as the sink lives.
#pragma once

#include <string>
#include <vector>

#include "DIB.h"

class RecordingSink : public DIBErrorSink {
public:
    RecordingSink() { SetDIBErrorSink(this); }
    ~RecordingSink() override { SetDIBErrorSink(nullptr); }
    RecordingSink(const RecordingSink&) = delete;
    RecordingSink& operator=(const RecordingSink&) = delete;
    void ShowError(const std::string& text) override { messages.push_back(text); }
    std::vector<std::string> messages;
};
