#pragma once

#include "search/AttributeLinks.h"

#include <string>
#include <vector>

// Records where links go instead of starting anything; answers from
// members. Installed for its lifetime.
class CRecordingLinkPrograms : public ILinkPrograms {
public:
    CRecordingLinkPrograms() { SetLinkPrograms(this); }
    ~CRecordingLinkPrograms() override { SetLinkPrograms(nullptr); }

    Result OpenFile(const std::string& path) override
    {
        log.push_back("file " + path);
        return fileResult;
    }
    Result OpenUrl(const std::string& url) override
    {
        log.push_back("url " + url);
        return urlResult;
    }
    bool StartProgram(const std::string& program, const std::vector<std::string>& arguments) override
    {
        log.push_back("program " + program);
        startedArguments.push_back(arguments);
        return programStarts;
    }
    void OpenMap(const std::string& path) override { log.push_back("map " + path); }
    bool OpenBitmapWindow(const std::string& path) override
    {
        log.push_back("bitmap " + path);
        return pictureWindows;
    }
    bool OpenPictureWindow(const std::string& path) override
    {
        log.push_back("picture " + path);
        return pictureWindows;
    }

    std::vector<std::string> log;
    std::vector<std::vector<std::string>> startedArguments;
    Result fileResult = Result::kOpened;
    Result urlResult = Result::kOpened;
    bool programStarts = true;
    bool pictureWindows = true;
};
