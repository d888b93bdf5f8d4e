#pragma once
// Run-time class records and creation by class name, as archives need them.

#include <memory>
#include <string_view>

#include "platform/Types.h"

class CArchive;
class CObject;

struct CRuntimeClass {
    const char* className;
    UINT schema;
    std::unique_ptr<CObject> (*create)(); // null for classes that cannot be created by name
    const CRuntimeClass* base;

    CRuntimeClass(const char* name, UINT schema, std::unique_ptr<CObject> (*create)(),
                  const CRuntimeClass* base);
    bool IsDerivedFrom(const CRuntimeClass* other) const;
    std::unique_ptr<CObject> CreateObject() const;
    // The registered class of that name, or null. A name not yet known first has every
    // source of classes register what it provides (once each; safe from any thread).
    static const CRuntimeClass* FromName(std::string_view name);
    // Makes a creatable class known by its name (again: registering twice is harmless).
    static void Register(const CRuntimeClass* c);
    // A function that registers a family of classes, run when a name is first not found: a
    // library's classes are known by name to a program that never named them.
    static void AddSource(void (*registerClasses)());
};

class CObject {
public:
    virtual ~CObject() = default;
    virtual const CRuntimeClass* GetRuntimeClass() const;
    virtual void Serialize(CArchive& ar);
    bool IsKindOf(const CRuntimeClass* c) const { return GetRuntimeClass()->IsDerivedFrom(c); }

    static const CRuntimeClass classCObject;

protected:
    CObject() = default;
    CObject(const CObject&) = default;
    CObject& operator=(const CObject&) = default;
};

#define RUNTIME_CLASS(name) (&name::class##name)

// In the class: run-time type, creation by name and storage in archives.
#define DECLARE_SERIAL(name)                                                                       \
public:                                                                                            \
    static const CRuntimeClass class##name;                                                        \
    const CRuntimeClass* GetRuntimeClass() const override {                                        \
        return &class##name;                                                                       \
    }                                                                                              \
    static std::unique_ptr<CObject> CreateObject();

// In one source file; registers the class under its name.
#define IMPLEMENT_SERIAL(name, baseName, schemaNumber)                                             \
    std::unique_ptr<CObject> name::CreateObject() {                                                \
        return std::make_unique<name>();                                                           \
    }                                                                                              \
    const CRuntimeClass name::class##name(#name, schemaNumber, &name::CreateObject,                \
                                          RUNTIME_CLASS(baseName));
