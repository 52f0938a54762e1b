#include "velandroidinputconnection.h"

#include "velandroidinputcontext.h"

#include "velstring.h"

#include <vector>

namespace VelAndroidInputConnection
{
namespace
{

using Live = VelAndroidInputContext::Live;

// All of the string's code units; a null string reads as empty.
VelString fromJava(JNIEnv *env, jstring string)
{
    if (!string)
        return VelString();
    const jsize length = env->GetStringLength(string);
    if (length <= 0)
        return VelString();
    std::vector<jchar> units(static_cast<size_t>(length));
    env->GetStringRegion(string, 0, length, units.data());
    if (env->ExceptionCheck()) {
        env->ExceptionClear();
        return VelString();
    }
    return VelString::fromUtf16(reinterpret_cast<const char16_t *>(units.data()), int(length));
}

jstring toJava(JNIEnv *env, const VelString &string)
{
    jstring result =
        env->NewString(reinterpret_cast<const jchar *>(string.utf16()), string.length());
    if (env->ExceptionCheck()) {
        env->ExceptionClear();
        return nullptr;
    }
    return result;
}

jobject toJava(JNIEnv *env, const Live &live,
               const VelAndroidInputContext::ExtractedTextRecord &record)
{
    const VelAndroidInputContext *context = live.context();
    if (!context->extractedTextClass())
        return nullptr;
    jobject object =
        env->NewObject(context->extractedTextClass(), context->extractedTextConstructor());
    if (!object || env->ExceptionCheck()) {
        env->ExceptionClear();
        return nullptr;
    }
    env->SetIntField(object, context->partialStartOffsetField(), record.partialStartOffset);
    env->SetIntField(object, context->partialEndOffsetField(), record.partialEndOffset);
    env->SetIntField(object, context->selectionStartField(), record.selectionStart);
    env->SetIntField(object, context->selectionEndField(), record.selectionEnd);
    env->SetIntField(object, context->startOffsetField(), record.startOffset);
    jstring text = toJava(env, record.text);
    env->SetObjectField(object, context->textField(), text);
    if (text)
        env->DeleteLocalRef(text);
    return object;
}

jboolean commitText(JNIEnv *env, jobject, jstring text, jint newCursorPosition)
{
    const Live live;
    return live && live->commitText(fromJava(env, text), newCursorPosition);
}

jboolean deleteSurroundingText(JNIEnv *, jobject, jint leftLength, jint rightLength)
{
    const Live live;
    return live && live->deleteSurroundingText(leftLength, rightLength);
}

jboolean finishComposingText(JNIEnv *, jobject)
{
    const Live live;
    return live && live->finishComposingText();
}

jint getCursorCapsMode(JNIEnv *, jobject, jint reqModes)
{
    const Live live;
    return live ? live->getCursorCapsMode(reqModes) : 0;
}

jobject getExtractedText(JNIEnv *env, jobject, jint hintMaxChars, jint hintMaxLines, jint flags)
{
    const Live live;
    if (!live)
        return nullptr;
    return toJava(env, live, live->getExtractedText(hintMaxChars, hintMaxLines, flags));
}

jstring getSelectedText(JNIEnv *env, jobject, jint flags)
{
    const Live live;
    return live ? toJava(env, live->getSelectedText(flags)) : nullptr;
}

jstring getTextAfterCursor(JNIEnv *env, jobject, jint length, jint flags)
{
    const Live live;
    return live ? toJava(env, live->getTextAfterCursor(length, flags)) : nullptr;
}

jstring getTextBeforeCursor(JNIEnv *env, jobject, jint length, jint flags)
{
    const Live live;
    return live ? toJava(env, live->getTextBeforeCursor(length, flags)) : nullptr;
}

jboolean setComposingText(JNIEnv *env, jobject, jstring text, jint newCursorPosition)
{
    const Live live;
    return live && live->setComposingText(fromJava(env, text), newCursorPosition);
}

jboolean setComposingRegion(JNIEnv *, jobject, jint start, jint end)
{
    const Live live;
    return live && live->setComposingRegion(start, end);
}

jboolean setSelection(JNIEnv *, jobject, jint start, jint end)
{
    const Live live;
    return live && live->setSelection(start, end);
}

jboolean selectAll(JNIEnv *, jobject)
{
    const Live live;
    return live && live->selectAll();
}

jboolean cut(JNIEnv *, jobject)
{
    const Live live;
    return live && live->cut();
}

jboolean copy(JNIEnv *, jobject)
{
    const Live live;
    return live && live->copy();
}

jboolean copyURL(JNIEnv *, jobject)
{
    const Live live;
    return live && live->copyURL();
}

jboolean paste(JNIEnv *, jobject)
{
    const Live live;
    return live && live->paste();
}

// JNINativeMethod predates const; RegisterNatives only reads the strings.
JNINativeMethod nativeMethod(const char *name, const char *signature, void *function)
{
    return JNINativeMethod{const_cast<char *>(name), const_cast<char *>(signature), function};
}

const JNINativeMethod methods[] = {
    nativeMethod("commitText", "(Ljava/lang/String;I)Z", reinterpret_cast<void *>(commitText)),
    nativeMethod("deleteSurroundingText", "(II)Z", reinterpret_cast<void *>(deleteSurroundingText)),
    nativeMethod("finishComposingText", "()Z", reinterpret_cast<void *>(finishComposingText)),
    nativeMethod("getCursorCapsMode", "(I)I", reinterpret_cast<void *>(getCursorCapsMode)),
    nativeMethod("getExtractedText", "(III)Lorg/vel/android/VelExtractedText;",
                 reinterpret_cast<void *>(getExtractedText)),
    nativeMethod("getSelectedText", "(I)Ljava/lang/String;",
                 reinterpret_cast<void *>(getSelectedText)),
    nativeMethod("getTextAfterCursor", "(II)Ljava/lang/String;",
                 reinterpret_cast<void *>(getTextAfterCursor)),
    nativeMethod("getTextBeforeCursor", "(II)Ljava/lang/String;",
                 reinterpret_cast<void *>(getTextBeforeCursor)),
    nativeMethod("setComposingText", "(Ljava/lang/String;I)Z",
                 reinterpret_cast<void *>(setComposingText)),
    nativeMethod("setComposingRegion", "(II)Z", reinterpret_cast<void *>(setComposingRegion)),
    nativeMethod("setSelection", "(II)Z", reinterpret_cast<void *>(setSelection)),
    nativeMethod("selectAll", "()Z", reinterpret_cast<void *>(selectAll)),
    nativeMethod("cut", "()Z", reinterpret_cast<void *>(cut)),
    nativeMethod("copy", "()Z", reinterpret_cast<void *>(copy)),
    nativeMethod("copyURL", "()Z", reinterpret_cast<void *>(copyURL)),
    nativeMethod("paste", "()Z", reinterpret_cast<void *>(paste)),
};

} // namespace

void registerBeforeContext(JNIEnv *env)
{
    jclass connection = env->FindClass("org/vel/android/VelNativeInputConnection");
    if (!connection) {
        if (env->ExceptionCheck())
            env->ExceptionClear();
        return;
    }
    registerNatives(env, connection);
    env->DeleteLocalRef(connection);
}

bool registerNatives(JNIEnv *env, jclass inputConnectionClass)
{
    if (env->RegisterNatives(inputConnectionClass, methods, sizeof(methods) / sizeof(methods[0])) <
        0) {
        if (env->ExceptionCheck())
            env->ExceptionClear();
        return false;
    }
    return true;
}

} // namespace VelAndroidInputConnection
