// The module's description, for whoever looks into the file (a module
// manager, a file browser, `strings`). No code reads it: it is kept by the
// `used` attribute and by being linked into the module directly, not taken
// from the static library, where an object nothing refers to is left out.
__attribute__((used)) static const char kModuleDescription[] = "PNG Format Plugin Module";
