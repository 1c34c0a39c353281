// Access to what the program carries as Qt resources.
#pragma once

#include <string>

// Registers the compiled-in resources; call once before the first use.
void ZuInitResources();

// Reads a resource (for example ":/KrZuApi.h"); false when it is missing.
bool ReadResource(const std::string& name, std::string& out);

// Copies a resource to a file when the file does not exist yet. True when the
// file exists afterwards.
bool CopyResourceIfMissing(const std::string& name, const std::string& path);
