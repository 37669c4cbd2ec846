#pragma once

// Helpers shared by the shell's tests: a translation made in the test, and recorders for the
// services handed to the system.
#include "framework/gui/runtime.h"
#include "framework/core/text.h"

#include <QCoreApplication>
#include <QTranslator>

#include <functional>
#include <map>
#include <string>
#include <vector>

// A translation of the "loc" context built in memory: each key maps to the given text.
class TestTranslator final : public QTranslator {
public:
    explicit TestTranslator(std::map<std::string, std::string> texts) : m_texts(std::move(texts)) {}

    bool isEmpty() const override { return false; }
    QString translate(const char* context, const char* sourceText, const char* = nullptr, int = -1) const override
    {
        if (QByteArray(context) != "loc")
            return {};
        auto it = m_texts.find(sourceText);
        return it == m_texts.end() ? QString() : QString::fromStdString(it->second);
    }

private:
    std::map<std::string, std::string> m_texts;
};

// Installs a translation for the life of the object.
class ScopedTranslation final {
public:
    explicit ScopedTranslation(std::map<std::string, std::string> texts) : m_translator(std::move(texts))
    {
        QCoreApplication::installTranslator(&m_translator);
    }
    ~ScopedTranslation() { QCoreApplication::removeTranslator(&m_translator); }

private:
    TestTranslator m_translator;
};

// Records every address handed to the system and every beep, instead of acting on them.
class SystemRecorder final {
public:
    SystemRecorder()
    {
        Seams::SetShowURL([this](const String& url) { urls.push_back(url); });
        Seams::SetBeep([this] { ++beeps; });
        Seams::SetMsgBox([this](const String& text) { messages.push_back(text); });
    }
    ~SystemRecorder() { Seams::ResetAll(); }

    std::vector<String> urls;
    std::vector<String> messages;
    int beeps { 0 };
};

inline bool EndsWith(const String& text, const String& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}
