#pragma once

namespace vantrel {

// Prepares the process for the web engine; must run before the application
// object exists, because the engine reads its switches once, at start. Keeps
// the engine's own background traffic off, and turns Chromium's sandbox off
// when running as root (Chromium refuses to start as root otherwise), and
// only then.
void prepareWebEngine();

} // namespace vantrel
