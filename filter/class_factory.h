#pragma once
// The class factory the module hands out for each row of its class table.
#include <windows.h>
#include <unknwn.h>

#include "class_table.h"
#include "unknown_base.h"

namespace brevin {

class ClassFactory : public IClassFactory {
 public:
  explicit ClassFactory(const FactoryTemplate* row);

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override;
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

 private:
  virtual ~ClassFactory() = default;

  LiveObject live_;
  const FactoryTemplate* row_;
  // The COM runtime calls a factory from one thread at a time; the count is plain.
  LONG references_ = 0;
};

}  // namespace brevin
