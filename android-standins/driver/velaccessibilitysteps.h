#ifndef VELACCESSIBILITYSTEPS_H
#define VELACCESSIBILITYSTEPS_H

#include <string>

class VelAndroidDriver;

// What the launcher does for accessibility, through the Java walker that
// plays an accessibility service (VelAccessibilityWalker): the tree dump and
// the click action on a node named by id or by text. Each answers false with
// a message in *error when the walk or the node fails.
//
// Script verbs (registerVerbs), each printing what it saw to standard output:
//   a11y-dump                 the virtual view tree, one line per node
//   a11y-click ID-or-TEXT     the click action on that node, then its line
//   a11y-toggle ID-or-TEXT    the same action on a checkable node, which the
//                             plugin performs as a toggle; then its line
namespace VelAccessibilitySteps
{

// The virtual view tree, one line per node, the host view first.
bool dump(VelAndroidDriver &driver, std::string *out, std::string *error);

// Performs the click action on the node the target names (an id, or the text
// its description starts with) and gives the node's line as it is
// afterwards. The plugin presses a node that offers pressing and toggles any
// other, so this serves both a11y-click and a11y-toggle.
bool click(VelAndroidDriver &driver, const std::string &target, std::string *out,
           std::string *error);

// Registers a11y-dump, a11y-click and a11y-toggle with VelInputScript.
void registerVerbs();

} // namespace VelAccessibilitySteps

#endif
