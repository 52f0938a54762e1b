#ifndef VELSIGNATURE_P_H
#define VELSIGNATURE_P_H

#include <string>

// Shared by type-name and signature normalisation: both must fold blanks the
// same way, or a registered type would not be found from a signature.
namespace VelSignature
{

bool isIdentChar(char c);
// Collapses blanks: one blank survives only between two identifier characters.
std::string collapseBlanks(const char *s);

} // namespace VelSignature

#endif
