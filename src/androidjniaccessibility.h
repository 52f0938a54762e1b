#ifndef ANDROIDJNIACCESSIBILITY_H
#define ANDROIDJNIACCESSIBILITY_H

#include <jni.h>

class VelAccessibleInterface;

// The natives of VelNativeAccessibility: Android's accessibility services ask
// for the host's accessible tree one object at a time, by id.
namespace VelAndroidAccessibility
{

// Registers the natives on VelNativeAccessibility; false (logged) when the
// class is missing or the VM refuses them.
bool registerNatives(JNIEnv *env);

// The interface of an id: -1 is the root of the focus window's tree (null
// without a focus window), any other id as the host's registry names it
// (null for ids never issued or whose object is gone). GUI thread only.
VelAccessibleInterface *interfaceFromId(jint objectId);

} // namespace VelAndroidAccessibility

#endif
