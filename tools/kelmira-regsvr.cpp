// kelmira-regsvr: registers a component module into the registry file, or removes it.
//
//   kelmira-regsvr [-u] [-s] path/to/libkelmira.so
#include <kelmira/platform.h>

#include <dlfcn.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

void Usage(std::FILE* out) {
  std::fputs(
      "usage: kelmira-regsvr [-u] [-s] MODULE\n"
      "Registers the classes and type library of a component module (a shared library exporting\n"
      "DllRegisterServer) into the registry file, or removes them with -u.\n"
      "\n"
      "  -u   unregister instead of register\n"
      "  -s   silent: print nothing on success\n"
      "  -h   show this help\n"
      "\n"
      "The registry file is $KELMIRA_REGISTRY, or $XDG_CONFIG_HOME/kelmira/registry.\n",
      out);
}

const char* Describe(HRESULT hr) {
  switch (hr) {
    case E_OUTOFMEMORY: return "out of memory";
    case E_ACCESSDENIED: return "access denied";
    case REGDB_E_WRITEREGDB: return "the registry file could not be written";
    case REGDB_E_READREGDB: return "the registry file could not be read (damaged?)";
    case TYPE_E_REGISTRYACCESS: return "the type library could not be recorded in the registry";
    case E_UNEXPECTED: return "the module could not determine its own path";
    default: return "registration failed";
  }
}

}  // namespace

int main(int argc, char** argv) {
  bool unregister = false;
  bool silent = false;
  const char* path = nullptr;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "-u")) {
      unregister = true;
    } else if (!std::strcmp(argv[i], "-s")) {
      silent = true;
    } else if (!std::strcmp(argv[i], "-h") || !std::strcmp(argv[i], "--help")) {
      Usage(stdout);
      return 0;
    } else if (argv[i][0] == '-' || path) {
      std::fprintf(stderr, "kelmira-regsvr: unexpected argument '%s'\n", argv[i]);
      Usage(stderr);
      return 2;
    } else {
      path = argv[i];
    }
  }
  if (!path) {
    std::fputs("kelmira-regsvr: no module given\n", stderr);
    Usage(stderr);
    return 2;
  }

  // A bare file name would make dlopen search the library path; the caller means this file.
  std::string file = std::strchr(path, '/') ? path : std::string("./") + path;
  void* module = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!module) {
    std::fprintf(stderr, "kelmira-regsvr: cannot load %s: %s\n", path, dlerror());
    return 1;
  }
  const char* entry = unregister ? "DllUnregisterServer" : "DllRegisterServer";
  auto fn = reinterpret_cast<HRESULT (*)()>(dlsym(module, entry));
  if (!fn) {
    std::fprintf(stderr, "kelmira-regsvr: %s is not a component module (no %s)\n", path, entry);
    dlclose(module);
    return 1;
  }
  HRESULT hr = fn();
  if (FAILED(hr)) {
    std::fprintf(stderr, "kelmira-regsvr: %s of %s failed: %s (0x%08X); registry file %s\n", entry, path, Describe(hr),
                 static_cast<unsigned>(hr), KelmiraRegistryPath());
    dlclose(module);
    return 1;
  }
  if (!silent) std::printf("%s %s in %s\n", unregister ? "Unregistered" : "Registered", path, KelmiraRegistryPath());
  dlclose(module);
  return 0;
}
