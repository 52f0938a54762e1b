// Drives the input connection's operations, decoded from the input, through
// the input context into the text-edit example's field, which is the focus
// object, on the GUI thread. After every operation the field and the context
// are checked against what the operation must have done to them, and every
// answer against the field's state.
//
// Input: operations until the bytes run out, each an opcode byte and its
// arguments. A position or length is a selector byte (small, near the end of
// the text, near the cursor, near either end of int, or 32 raw bits) and its
// value; a text is a length byte (at most 12 code units) and per unit a byte
// choosing a letter, a lone high or low surrogate, or 16 raw bits.
#include "textfield.h"
#include "velandroidguithreadcall.h"
#include "velandroidinputcontext.h"

#include "velguiapplication.h"
#include "velinputmethod.h"
#include "vellogging.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace
{

VelGuiApplication *app = nullptr;
VelAndroidInputContext *context = nullptr;

int argc = 1;
char arg0[] = "inputconnection_fuzz";
char *argv[] = {arg0, nullptr};

enum Op : uint8_t {
    CommitText,
    DeleteSurroundingText,
    FinishComposingText,
    GetCursorCapsMode,
    GetExtractedText,
    GetSelectedText,
    GetTextAfterCursor,
    GetTextBeforeCursor,
    SetComposingText,
    SetComposingRegion,
    SetSelection,
    ContextMenuAction,
    HostReset,
    HostCommit,
    ShowInputPanel,
    TypeOnField,
    ToggleFocus,
    ReplaceField,
    OpCount
};

std::string printable(const VelString &text)
{
    std::string out;
    for (int i = 0; i < text.length(); ++i) {
        char unit[8];
        std::snprintf(unit, sizeof unit, "%04x ", unsigned(text.at(i).unicode()));
        out += unit;
    }
    return out;
}

[[noreturn]] void fail(const char *what, const TextField *field)
{
    std::fprintf(stderr, "inputconnection_fuzz: %s\n", what);
    if (field)
        std::fprintf(stderr, "  field: text=[%s] cursor=%d anchor=%d preedit=[%s]\n",
                     printable(field->text()).c_str(), field->cursor(), field->anchor(),
                     printable(field->preedit()).c_str());
    std::abort();
}

#define CHECK(condition)                                                                           \
    do {                                                                                           \
        if (!(condition))                                                                          \
            fail(#condition, field);                                                               \
    } while (0)

int smallOffset(FuzzedDataProvider &in)
{
    return in.ConsumeIntegralInRange<int>(-3, 3);
}

// Positions where the operations have their edges.
int position(FuzzedDataProvider &in, int textLength, int cursor)
{
    switch (in.ConsumeIntegralInRange<int>(0, 6)) {
    case 0:
        return smallOffset(in);
    case 1:
        return textLength + smallOffset(in);
    case 2:
        return cursor + smallOffset(in);
    case 3:
        return INT_MAX - in.ConsumeIntegralInRange<int>(0, 3);
    case 4:
        return INT_MIN + in.ConsumeIntegralInRange<int>(0, 3);
    case 5:
        return in.ConsumeIntegral<int>();
    default:
        return in.ConsumeIntegralInRange<int>(0, 20);
    }
}

VelString text(FuzzedDataProvider &in)
{
    const int length = in.ConsumeIntegralInRange<int>(0, 12);
    std::u16string units;
    for (int i = 0; i < length && in.remaining_bytes() > 0; ++i) {
        const uint8_t choice = in.ConsumeIntegral<uint8_t>();
        if (choice < 0xA0)
            units += char16_t(u'a' + choice % 26);
        else if (choice < 0xC0)
            units += char16_t(0xD800 + (choice & 0x1F));
        else if (choice < 0xE0)
            units += char16_t(0xDC00 + (choice & 0x1F));
        else
            units += char16_t(in.ConsumeIntegral<uint16_t>());
    }
    return VelString(units);
}

struct Snapshot {
    VelString text;
    int cursor = 0;
    int anchor = 0;
};

Snapshot snapshot(const TextField &field)
{
    return {field.text(), field.cursor(), field.anchor()};
}

bool sameRecord(const VelAndroidInputContext::ExtractedTextRecord &a,
                const VelAndroidInputContext::ExtractedTextRecord &b)
{
    return a.partialEndOffset == b.partialEndOffset &&
           a.partialStartOffset == b.partialStartOffset && a.selectionEnd == b.selectionEnd &&
           a.selectionStart == b.selectionStart && a.startOffset == b.startOffset &&
           a.text == b.text;
}

bool isCleared(const VelAndroidInputContext::ExtractedTextRecord &record)
{
    return sameRecord(record, VelAndroidInputContext::ExtractedTextRecord());
}

// What a commit of `committed` at the cursor (or over the selection) leaves.
Snapshot afterCommit(const Snapshot &before, const VelString &committed)
{
    if (committed.isEmpty())
        return before;
    const int from = std::min(before.cursor, before.anchor);
    const int length = std::abs(before.cursor - before.anchor);
    Snapshot after = before;
    after.text = before.text.left(from) + committed + before.text.mid(from + length);
    after.cursor = after.anchor = from + committed.length();
    return after;
}

void checkField(const TextField *field)
{
    const int length = field->text().length();
    CHECK(field->cursor() >= 0 && field->cursor() <= length);
    CHECK(field->anchor() >= 0 && field->anchor() <= length);
    const int preedit = field->preedit().length();
    CHECK(field->preeditCursor() >= -1 && field->preeditCursor() <= preedit);
    CHECK(field->underlineStart() >= 0 && field->underlineLength() >= 0);
    CHECK(field->underlineStart() + field->underlineLength() <= preedit);
}

void checkState(const TextField *field, const Snapshot &expected)
{
    CHECK(field->text() == expected.text);
    CHECK(field->cursor() == expected.cursor);
    CHECK(field->anchor() == expected.anchor);
}

// One operation with the field focused (`field` non-null) or nothing focused.
void run(FuzzedDataProvider &in, TextField *&field, bool &focused)
{
    TextField *const focus = focused ? field : nullptr;
    const Snapshot before = snapshot(*field);
    const int length = before.text.length();
    const auto extractionBefore = context->lastExtraction();
    const VelString composingBefore = context->composingString();

    switch (Op(in.ConsumeIntegralInRange<int>(0, OpCount - 1))) {
    case CommitText: {
        const VelString committed = text(in);
        CHECK(context->commitText(committed, position(in, length, before.cursor)));
        checkState(field, focus ? afterCommit(before, committed) : before);
        CHECK(context->composingString().isEmpty());
        CHECK(isCleared(context->lastExtraction()));
        break;
    }
    case DeleteSurroundingText: {
        const int left = position(in, length, before.cursor);
        const int right = position(in, length, before.cursor);
        CHECK(context->deleteSurroundingText(left, right));
        if (!focus) {
            checkState(field, before);
            CHECK(context->composingString() == composingBefore);
            break;
        }
        const int cutLeft = std::min(std::max(left, 0), before.cursor);
        const int cutRight = std::min(std::max(right, 0), length - before.cursor);
        Snapshot expected = before;
        if (cutLeft + cutRight > 0) {
            const int from = before.cursor - cutLeft;
            expected.text = before.text.left(from) + before.text.mid(before.cursor + cutRight);
            expected.cursor = expected.anchor = from;
        }
        checkState(field, expected);
        CHECK(context->composingString().isEmpty());
        CHECK(isCleared(context->lastExtraction()));
        break;
    }
    case FinishComposingText:
        CHECK(context->finishComposingText());
        checkState(field, focus ? afterCommit(before, composingBefore) : before);
        CHECK(context->composingString().isEmpty());
        CHECK(isCleared(context->lastExtraction()));
        break;
    case GetCursorCapsMode:
        // The field prefers upper case and never asks for upper case only.
        CHECK(context->getCursorCapsMode(in.ConsumeIntegral<int>()) == (focus ? 0x4000 : 0));
        break;
    case GetExtractedText: {
        const int maxChars = position(in, length, before.cursor);
        const auto record = context->getExtractedText(maxChars, in.ConsumeIntegral<int>(),
                                                      in.ConsumeIntegral<int>());
        CHECK(sameRecord(record, context->lastExtraction()));
        checkState(field, before);
        if (!focus) {
            CHECK(sameRecord(record, extractionBefore));
            break;
        }
        CHECK(record.text == (maxChars > 0 ? before.text.right(std::min(maxChars, length))
                                           : extractionBefore.text));
        CHECK(record.startOffset == before.cursor);
        if (before.cursor != before.anchor) {
            CHECK(record.selectionStart == before.anchor);
            CHECK(record.selectionEnd == before.cursor);
        } else {
            CHECK(record.selectionStart == record.selectionEnd);
        }
        CHECK(record.partialStartOffset == extractionBefore.partialStartOffset);
        CHECK(record.partialEndOffset == extractionBefore.partialEndOffset);
        break;
    }
    case GetSelectedText: {
        const VelString selected = context->getSelectedText(in.ConsumeIntegral<int>());
        const int from = std::min(before.cursor, before.anchor);
        CHECK(selected == (focus ? before.text.mid(from, std::abs(before.cursor - before.anchor))
                                 : VelString()));
        break;
    }
    case GetTextAfterCursor: {
        const int wanted = position(in, length, before.cursor);
        const VelString after = context->getTextAfterCursor(wanted, in.ConsumeIntegral<int>());
        if (!focus || wanted <= 0) {
            CHECK(after.isEmpty());
            break;
        }
        CHECK(after.length() == std::min(wanted, length - before.cursor));
        CHECK(after == before.text.mid(before.cursor, after.length()));
        break;
    }
    case GetTextBeforeCursor: {
        const int wanted = position(in, length, before.cursor);
        const VelString text = context->getTextBeforeCursor(wanted, in.ConsumeIntegral<int>());
        if (!focus || wanted <= 0) {
            CHECK(text.isEmpty());
            break;
        }
        CHECK(text.length() == std::min(wanted, before.cursor));
        CHECK(text == before.text.mid(before.cursor - text.length(), text.length()));
        break;
    }
    case SetComposingText: {
        const VelString composing = text(in);
        const int newCursor = position(in, length, before.cursor);
        CHECK(context->setComposingText(composing, newCursor));
        CHECK(context->composingString() == composing);
        checkState(field, before);
        if (!focus)
            break;
        CHECK(field->preedit() == composing);
        const long long wantedCursor =
            newCursor > 0
                ? std::min<long long>(INT_MAX, (long long)newCursor + composing.length() - 1)
                : newCursor;
        CHECK(field->preeditCursor() == std::clamp<long long>(wantedCursor, 0, composing.length()));
        CHECK(field->underlineStart() == 0);
        CHECK(field->underlineLength() == composing.length());
        break;
    }
    case SetComposingRegion: {
        const int start = position(in, length, before.cursor);
        const int end = position(in, length, before.cursor);
        const bool answered = context->setComposingRegion(start, end);
        CHECK(answered == bool(focus));
        if (!focus) {
            checkState(field, before);
            CHECK(context->composingString() == composingBefore);
            break;
        }
        const int first = std::clamp(std::min(start, end), 0, length);
        const int last = std::clamp(std::max(start, end), first, length);
        const VelString region = before.text.mid(first, last - first);
        CHECK(context->composingString() == region);
        CHECK(field->preedit() == region);
        Snapshot expected = before;
        if (!region.isEmpty()) {
            // The region leaves the text and comes back as the preedit.
            expected.text = before.text.left(first) + before.text.mid(last);
            expected.cursor = expected.anchor = first;
        }
        checkState(field, expected);
        break;
    }
    case SetSelection: {
        const int start = position(in, length, before.cursor);
        const int end = position(in, length, before.cursor);
        CHECK(context->setSelection(start, end));
        CHECK(context->composingString() == composingBefore);
        if (!focus) {
            checkState(field, before);
            break;
        }
        checkState(field, {before.text, std::clamp(end, 0, length), std::clamp(start, 0, length)});
        break;
    }
    case ContextMenuAction: {
        bool answered = false;
        switch (in.ConsumeIntegralInRange<int>(0, 4)) {
        case 0:
            answered = context->selectAll();
            break;
        case 1:
            answered = context->cut();
            break;
        case 2:
            answered = context->copy();
            break;
        case 3:
            answered = context->copyURL();
            break;
        default:
            answered = context->paste();
            break;
        }
        CHECK(!answered);
        checkState(field, before);
        CHECK(context->composingString() == composingBefore);
        break;
    }
    case HostReset:
        context->reset();
        checkState(field, before);
        CHECK(context->composingString().isEmpty());
        CHECK(isCleared(context->lastExtraction()));
        break;
    case HostCommit:
        if (in.ConsumeBool())
            context->commit();
        else
            context->invokeAction(VelPlatformInputContext::Click, in.ConsumeIntegral<int>());
        checkState(field, focus ? afterCommit(before, composingBefore) : before);
        CHECK(context->composingString().isEmpty());
        break;
    case ShowInputPanel:
        // Connects the field's cursor signal to the context, which from then
        // on reports every cursor move.
        if (in.ConsumeBool())
            context->showInputPanel();
        else
            context->hideInputPanel();
        checkState(field, before);
        break;
    case TypeOnField:
        switch (in.ConsumeIntegralInRange<int>(0, 2)) {
        case 0:
            field->insert(text(in));
            break;
        case 1:
            field->backspace();
            break;
        default:
            field->moveCursor(smallOffset(in));
            break;
        }
        break;
    case ToggleFocus:
        focused = !focused;
        VelGuiApplication::setFocusObject(focused ? field : nullptr);
        break;
    case ReplaceField: {
        // The focus object goes away under the context (and its cursor
        // signal with it); a new one with the same text takes its place.
        const Snapshot kept = snapshot(*field);
        delete field;
        field = nullptr;
        if (VelGuiApplication::focusObject())
            fail("the deleted field is still the focus object", nullptr);
        field = new TextField;
        field->insert(kept.text);
        VelGuiApplication::setFocusObject(focused ? field : nullptr);
        break;
    }
    case OpCount:
        break;
    }
    checkField(field);
}

void discardMessages(VelMsgType, const VelMessageLogContext &, const VelString &) {}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    velInstallMessageHandler(discardMessages);
    // No platform: the field is made the focus object directly.
    app = new VelGuiApplication(argc, argv, VelString("inputconnection-fuzz-none"));
    // This thread is the GUI thread: the context's hand-overs run here.
    VelAndroidGuiThreadCall::start();
    // Without a Java VM the context stays unregistered; its operations are
    // what the natives call.
    context = new VelAndroidInputContext;
    VelGuiApplication::inputMethod()->setInputItemRectangle(VelRectF(10, 20, 200, 30));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider in(data, size);
    context->clear();
    auto *field = new TextField;
    bool focused = true;
    VelGuiApplication::setFocusObject(field);
    while (in.remaining_bytes() > 0)
        run(in, field, focused);
    VelGuiApplication::setFocusObject(nullptr);
    delete field;
    return 0;
}
