#include "platform/Object.h"

#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace {

struct Registry {
    std::mutex lock; // the names
    std::map<std::string, const CRuntimeClass*, std::less<>> byName;
    std::mutex sourceLock; // running the sources, which register under `lock`
    std::vector<void (*)()> sources;
    std::size_t sourcesRun = 0;
};

Registry& Classes() {
    static Registry registry;
    return registry;
}

const CRuntimeClass* Find(std::string_view name) {
    Registry& r = Classes();
    std::lock_guard<std::mutex> guard(r.lock);
    auto it = r.byName.find(name);
    return it == r.byName.end() ? nullptr : it->second;
}

} // namespace

CRuntimeClass::CRuntimeClass(const char* name, UINT s, std::unique_ptr<CObject> (*c)(),
                             const CRuntimeClass* b)
    : className(name), schema(s), create(c), base(b) {
    Register(this);
}

void CRuntimeClass::Register(const CRuntimeClass* c) {
    if (!c || !c->create)
        return;
    Registry& r = Classes();
    std::lock_guard<std::mutex> guard(r.lock);
    r.byName[c->className] = c;
}

void CRuntimeClass::AddSource(void (*registerClasses)()) {
    Registry& r = Classes();
    std::lock_guard<std::mutex> guard(r.sourceLock);
    r.sources.push_back(registerClasses);
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
    if (const CRuntimeClass* c = Find(name))
        return c;
    Registry& r = Classes();
    {
        std::lock_guard<std::mutex> guard(r.sourceLock);
        for (; r.sourcesRun < r.sources.size(); ++r.sourcesRun)
            r.sources[r.sourcesRun]();
    }
    return Find(name);
}

const CRuntimeClass CObject::classCObject("CObject", 0xFFFF, nullptr, nullptr);

const CRuntimeClass* CObject::GetRuntimeClass() const {
    return &classCObject;
}

void CObject::Serialize(CArchive&) {}
