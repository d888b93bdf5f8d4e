#include "platform/Object.h"

#include <map>
#include <string>

namespace {
std::map<std::string, const CRuntimeClass*, std::less<>>& Registry() {
    static std::map<std::string, const CRuntimeClass*, std::less<>> registry;
    return registry;
}
} // namespace

CRuntimeClass::CRuntimeClass(const char* name, UINT s, std::unique_ptr<CObject> (*c)(),
                             const CRuntimeClass* b)
    : className(name), schema(s), create(c), base(b) {
    Register(this);
}

void CRuntimeClass::Register(const CRuntimeClass* c) {
    if (c && c->create)
        Registry()[c->className] = c;
}

bool CRuntimeClass::IsDerivedFrom(const CRuntimeClass* other) const {
    for (const CRuntimeClass* c = this; c; c = c->base)
        if (c == other)
            return true;
    return false;
}

std::unique_ptr<CObject> CRuntimeClass::CreateObject() const {
    return create ? create() : nullptr;
}

const CRuntimeClass* CRuntimeClass::FromName(std::string_view name) {
    auto& registry = Registry();
    auto it = registry.find(name);
    return it == registry.end() ? nullptr : it->second;
}

const CRuntimeClass CObject::classCObject("CObject", 0xFFFF, nullptr, nullptr);

const CRuntimeClass* CObject::GetRuntimeClass() const {
    return &classCObject;
}

void CObject::Serialize(CArchive&) {}
