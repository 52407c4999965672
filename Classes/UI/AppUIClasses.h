#pragma once

// Makes the application's screens and views known by class name, for interface files and for
// opening screens by name. Call once at start, before the first screen loads.
namespace AppUIClasses {
void registerAll();
}
