// IStorage over an in-memory tree: named streams and sub-storages. Changes are direct (Commit
// and Revert do nothing); streams opened from the storage share their element's bytes, so what
// one writes the next open reads. Access-mode bits are accepted but not enforced.
#include "com/storage_tree.h"
#include "com/utf16_util.h"

#include <kelmira/platform/com_object.h>

#include <algorithm>

namespace kelmira::storage {
namespace {

constexpr DWORD kStorageMode = STGM_READWRITE | STGM_SHARE_EXCLUSIVE;

HRESULT CheckMode(DWORD mode) { return (mode & 3) == 3 ? STG_E_INVALIDFLAG : S_OK; }

// The checks every create and open call makes on its element name, mode and reserved arguments.
HRESULT CheckElementRequest(const OLECHAR* pwcsName, DWORD grfMode, bool reservedSet, std::u16string* name) {
  if (HRESULT hr = CheckName(pwcsName, name); FAILED(hr)) return hr;
  if (HRESULT hr = CheckMode(grfMode); FAILED(hr)) return hr;
  return reservedSet ? STG_E_INVALIDPARAMETER : S_OK;
}

HRESULT WriteBytes(IStream* stream, const std::vector<BYTE>& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    ULONG chunk = static_cast<ULONG>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
    ULONG written = 0;
    HRESULT hr = stream->Write(bytes.data() + done, chunk, &written);
    if (FAILED(hr)) return hr;
    if (written == 0) return STG_E_MEDIUMFULL;
    done += written;
  }
  return S_OK;
}

bool InList(SNB names, std::u16string_view name) {
  if (!names) return false;
  for (SNB p = names; *p; ++p)
    if (!FoldLess()(name, utf16::View(*p)) && !FoldLess()(utf16::View(*p), name)) return true;
  return false;
}

HRESULT CopyStreamElement(const memory::Block& block, IStorage* dest, const std::u16string& name) {
  ComPtr<IStream> out;
  HRESULT hr = dest->CreateStream(name.c_str(), STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, 0, &out);
  if (FAILED(hr)) return hr;
  return out ? WriteBytes(out.get(), block.bytes) : E_UNEXPECTED;
}

// Copies a node (a private snapshot) into any IStorage, merging with what is there.
HRESULT CopyNodeTo(const Node& src, IStorage* dest, bool skipStreams, bool skipStorages, SNB exclude) {
  if (HRESULT hr = dest->SetClass(src.clsid); FAILED(hr)) return hr;
  if (HRESULT hr = dest->SetStateBits(src.stateBits, 0xFFFFFFFF); FAILED(hr)) return hr;
  for (const auto& [key, e] : src.elements) {
    if (InList(exclude, e.name)) continue;
    if (e.stream) {
      if (skipStreams) continue;
      if (HRESULT hr = CopyStreamElement(*e.stream, dest, e.name); FAILED(hr)) return hr;
      continue;
    }
    if (skipStorages || !e.storage) continue;
    ComPtr<IStorage> sub;
    HRESULT hr = dest->OpenStorage(e.name.c_str(), nullptr, kStorageMode, nullptr, 0, &sub);
    if (FAILED(hr)) hr = dest->CreateStorage(e.name.c_str(), STGM_CREATE | kStorageMode, 0, 0, &sub);
    if (FAILED(hr)) return hr;
    if (!sub) return E_UNEXPECTED;
    if (hr = CopyNodeTo(*e.storage, sub.get(), skipStreams, false, nullptr); FAILED(hr)) return hr;
  }
  return S_OK;
}

class MemoryStorage : public IStorage {
 public:
  using Interfaces = InterfaceTable<IStorage>;

  MemoryStorage(std::shared_ptr<Node> node, std::u16string name) : node_(std::move(node)), name_(std::move(name)) {}

  HRESULT STDMETHODCALLTYPE CreateStream(const OLECHAR* pwcsName, DWORD grfMode, DWORD reserved1, DWORD reserved2,
                                         IStream** ppstm) override {
    return StorageGuarded([&] {
      if (!ppstm) return STG_E_INVALIDPOINTER;
      *ppstm = nullptr;
      std::u16string name;
      if (HRESULT hr = CheckElementRequest(pwcsName, grfMode, reserved1 || reserved2, &name); FAILED(hr)) return hr;
      auto it = node_->elements.find(name);
      if (it != node_->elements.end() && !(grfMode & STGM_CREATE)) return STG_E_FILEALREADYEXISTS;
      auto block = std::make_shared<memory::Block>();
      ComPtr<IStream> stream;
      HRESULT hr = memory::CreateBlockStream(block, nullptr, false, name, &stream);
      if (FAILED(hr)) return hr;
      if (it != node_->elements.end()) node_->elements.erase(it);
      node_->elements.emplace(name, Element{name, std::move(block), nullptr});
      *ppstm = stream.Detach();
      return S_OK;
    });
  }

  HRESULT STDMETHODCALLTYPE OpenStream(const OLECHAR* pwcsName, void* reserved1, DWORD grfMode, DWORD reserved2,
                                       IStream** ppstm) override {
    return StorageGuarded([&] {
      if (!ppstm) return STG_E_INVALIDPOINTER;
      *ppstm = nullptr;
      std::u16string name;
      if (HRESULT hr = CheckElementRequest(pwcsName, grfMode, reserved1 || reserved2, &name); FAILED(hr)) return hr;
      auto it = node_->elements.find(name);
      if (it == node_->elements.end() || !it->second.stream) return STG_E_FILENOTFOUND;
      return memory::CreateBlockStream(it->second.stream, nullptr, false, it->second.name, ppstm);
    });
  }

  HRESULT STDMETHODCALLTYPE CreateStorage(const OLECHAR* pwcsName, DWORD grfMode, DWORD reserved1, DWORD reserved2,
                                          IStorage** ppstg) override {
    return StorageGuarded([&] {
      if (!ppstg) return STG_E_INVALIDPOINTER;
      *ppstg = nullptr;
      std::u16string name;
      if (HRESULT hr = CheckElementRequest(pwcsName, grfMode, reserved1 || reserved2, &name); FAILED(hr)) return hr;
      auto it = node_->elements.find(name);
      if (it != node_->elements.end() && !(grfMode & STGM_CREATE)) return STG_E_FILEALREADYEXISTS;
      auto child = std::make_shared<Node>();
      ComPtr<IStorage> storage;
      HRESULT hr = CreateStorageObject(child, name, &storage);
      if (FAILED(hr)) return hr;
      if (it != node_->elements.end()) node_->elements.erase(it);
      node_->elements.emplace(name, Element{name, nullptr, std::move(child)});
      *ppstg = storage.Detach();
      return S_OK;
    });
  }

  HRESULT STDMETHODCALLTYPE OpenStorage(const OLECHAR* pwcsName, IStorage* pstgPriority, DWORD grfMode, SNB snbExclude,
                                        DWORD reserved, IStorage** ppstg) override {
    return StorageGuarded([&] {
      if (!ppstg) return STG_E_INVALIDPOINTER;
      *ppstg = nullptr;
      std::u16string name;
      if (HRESULT hr = CheckElementRequest(pwcsName, grfMode, reserved, &name); FAILED(hr)) return hr;
      auto it = node_->elements.find(name);
      if (it == node_->elements.end() || !it->second.storage) return STG_E_FILENOTFOUND;
      return CreateStorageObject(it->second.storage, it->second.name, ppstg);
    });
  }

  // Copies a snapshot, so copying into one's own sub-storage ends.
  HRESULT STDMETHODCALLTYPE CopyTo(DWORD ciidExclude, const IID* rgiidExclude, SNB snbExclude,
                                   IStorage* pstgDest) override {
    return StorageGuarded([&] {
      if (!pstgDest) return STG_E_INVALIDPOINTER;
      if (ciidExclude && !rgiidExclude) return STG_E_INVALIDPOINTER;
      bool skipStreams = false;
      bool skipStorages = false;
      for (DWORD i = 0; i < ciidExclude; ++i) {
        skipStreams |= rgiidExclude[i] == IID_IStream;
        skipStorages |= rgiidExclude[i] == IID_IStorage;
      }
      std::shared_ptr<Node> snapshot = DeepCopy(*node_);
      return CopyNodeTo(*snapshot, pstgDest, skipStreams, skipStorages, snbExclude);
    });
  }

  HRESULT STDMETHODCALLTYPE MoveElementTo(const OLECHAR* pwcsName, IStorage* pstgDest, const OLECHAR* pwcsNewName,
                                          DWORD grfFlags) override {
    return StorageGuarded([&] {
      if (!pstgDest) return STG_E_INVALIDPOINTER;
      if (grfFlags != STGMOVE_MOVE && grfFlags != STGMOVE_COPY) return STG_E_INVALIDFLAG;
      std::u16string name;
      std::u16string newName;
      if (HRESULT hr = CheckName(pwcsName, &name); FAILED(hr)) return hr;
      if (HRESULT hr = CheckName(pwcsNewName, &newName); FAILED(hr)) return hr;
      auto it = node_->elements.find(name);
      if (it == node_->elements.end()) return STG_E_FILENOTFOUND;
      auto* self = dynamic_cast<MemoryStorage*>(pstgDest);
      bool sameNode = self && self->node_ == node_;
      if (sameNode && !FoldLess()(name, newName) && !FoldLess()(newName, name)) return S_OK;
      Element source = it->second;
      HRESULT hr = S_OK;
      if (source.stream) {
        memory::Block copy;
        {
          std::lock_guard lock(source.stream->mutex);
          copy.bytes = source.stream->bytes;
        }
        hr = CopyStreamElement(copy, pstgDest, newName);
      } else {
        std::shared_ptr<Node> snapshot = DeepCopy(*source.storage);
        ComPtr<IStorage> sub;
        hr = pstgDest->CreateStorage(newName.c_str(), STGM_CREATE | kStorageMode, 0, 0, &sub);
        if (SUCCEEDED(hr)) hr = sub ? CopyNodeTo(*snapshot, sub.get(), false, false, nullptr) : E_UNEXPECTED;
      }
      if (FAILED(hr) || grfFlags == STGMOVE_COPY) return hr;
      node_->elements.erase(name);
      return S_OK;
    });
  }

  HRESULT STDMETHODCALLTYPE Commit(DWORD) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Revert() override { return S_OK; }

  HRESULT STDMETHODCALLTYPE EnumElements(DWORD reserved1, void* reserved2, DWORD reserved3,
                                         IEnumSTATSTG** ppenum) override {
    return StorageGuarded([&] {
      if (!ppenum) return STG_E_INVALIDPOINTER;
      *ppenum = nullptr;
      std::vector<ElementInfo> items;
      items.reserve(node_->elements.size());
      for (const auto& [key, e] : node_->elements) {
        if (e.stream) {
          std::lock_guard lock(e.stream->mutex);
          items.push_back({e.name, STGTY_STREAM, e.stream->bytes.size(), CLSID_NULL, 0});
        } else {
          items.push_back({e.name, STGTY_STORAGE, 0, e.storage->clsid, e.storage->stateBits});
        }
      }
      return CreateElementEnumerator(std::move(items), ppenum);
    });
  }

  HRESULT STDMETHODCALLTYPE DestroyElement(const OLECHAR* pwcsName) override {
    return StorageGuarded([&] {
      std::u16string name;
      if (HRESULT hr = CheckName(pwcsName, &name); FAILED(hr)) return hr;
      return node_->elements.erase(name) ? S_OK : STG_E_FILENOTFOUND;
    });
  }

  HRESULT STDMETHODCALLTYPE RenameElement(const OLECHAR* pwcsOldName, const OLECHAR* pwcsNewName) override {
    return StorageGuarded([&] {
      std::u16string oldName;
      std::u16string newName;
      if (HRESULT hr = CheckName(pwcsOldName, &oldName); FAILED(hr)) return hr;
      if (HRESULT hr = CheckName(pwcsNewName, &newName); FAILED(hr)) return hr;
      auto it = node_->elements.find(oldName);
      if (it == node_->elements.end()) return STG_E_FILENOTFOUND;
      auto clash = node_->elements.find(newName);
      if (clash != node_->elements.end() && clash != it) return STG_E_FILEALREADYEXISTS;
      Element e = std::move(it->second);
      node_->elements.erase(it);
      e.name = newName;
      node_->elements.emplace(newName, std::move(e));
      return S_OK;
    });
  }

  // Times are not kept; the element must exist.
  HRESULT STDMETHODCALLTYPE SetElementTimes(const OLECHAR* pwcsName, const FILETIME*, const FILETIME*,
                                            const FILETIME*) override {
    return StorageGuarded([&] {
      if (!pwcsName) return S_OK;  // the storage itself
      std::u16string name;
      if (HRESULT hr = CheckName(pwcsName, &name); FAILED(hr)) return hr;
      return node_->elements.count(name) ? S_OK : STG_E_FILENOTFOUND;
    });
  }

  HRESULT STDMETHODCALLTYPE SetClass(REFCLSID clsid) override {
    node_->clsid = clsid;
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE SetStateBits(DWORD grfStateBits, DWORD grfMask) override {
    node_->stateBits = (node_->stateBits & ~grfMask) | (grfStateBits & grfMask);
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE Stat(STATSTG* pstatstg, DWORD grfStatFlag) override {
    if (!pstatstg) return STG_E_INVALIDPOINTER;
    *pstatstg = STATSTG{};
    if (!(grfStatFlag & STATFLAG_NONAME) && !name_.empty()) {
      pstatstg->pwcsName = utf16::TaskStrDup(name_);
      if (!pstatstg->pwcsName) return STG_E_INSUFFICIENTMEMORY;
    }
    pstatstg->type = STGTY_STORAGE;
    pstatstg->grfMode = kStorageMode;
    pstatstg->clsid = node_->clsid;
    pstatstg->grfStateBits = node_->stateBits;
    return S_OK;
  }

 private:
  std::shared_ptr<Node> node_;
  std::u16string name_;
};

}  // namespace

HRESULT CreateStorageObject(std::shared_ptr<Node> node, std::u16string name, IStorage** out) {
  ComPtr<Object<MemoryStorage>> storage;
  HRESULT hr = Object<MemoryStorage>::Make(&storage, std::move(node), std::move(name));
  if (SUCCEEDED(hr)) *out = storage.Detach();
  return hr;
}

}  // namespace kelmira::storage

HRESULT StgCreateStorageInMemory(IStorage** ppstg) {
  if (!ppstg) return STG_E_INVALIDPOINTER;
  *ppstg = nullptr;
  using namespace kelmira::storage;
  return StorageGuarded([&] { return CreateStorageObject(std::make_shared<Node>(), {}, ppstg); });
}
