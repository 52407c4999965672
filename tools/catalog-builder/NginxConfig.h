#pragma once

#include <string>

// A sample nginx configuration that serves a static export: it maps the protocol's query
// strings to the export's files and sets the headers the device reads.
namespace NginxConfig {

std::string sample(const std::string& exportFolder);

}  // namespace NginxConfig
