// Stored component trees registered by class name, in the text form in which the
// program's windows are authored. A window reads its own tree into itself when it is
// created, so that its components, their properties, pin links and "_Floats" come up
// exactly as the reader builds them.
#pragma once

#include "platform/classes/Classes.h"

#include <string>
#include <string_view>

namespace dcs {

// Registers (or replaces) the text of the tree stored for ClassName.
void RegisterComponentResource(const std::string& ClassName, std::string Text);
// The same for a tree already in the binary component stream (what the build embeds
// from a window's text form file).
void RegisterComponentResourceData(const std::string& ClassName, std::string Binary);
// The binary stream stored for ClassName (converted from text when it was registered as
// text); empty when there is none.
std::string ComponentResourceData(std::string_view ClassName);
bool HasComponentResource(std::string_view ClassName);

// Reads the tree registered for Instance's class, or else for the nearest ancestor
// class that has one, into Instance. False when no class up the chain has one. Call it
// from AfterConstruction, where the reader's virtual calls reach the whole object, after
// the handlers the tree names are registered.
bool InitComponentFromResource(TComponent* Instance);

}  // namespace dcs
