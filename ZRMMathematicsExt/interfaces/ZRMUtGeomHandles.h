// Reference-counting handles of the geometry classes.
//
// ZRMUtGeomHandle<T> holds one pointer to a geometry and owns one reference on it while the
// pointer is not null; the count lives in the object (ZRMUtSmartBase) and the last release
// destroys the object through its virtual destructor. For every geometry class <Class> there is
// the pair
//     <Class>_Ptr       = ZRMUtGeomHandle<<Class>>
//     <Class>_ConstPtr  = ZRMUtGeomHandle<const <Class>>
// and all twenty-six handles behave alike.
//
// Conversions. The only conversion between handles is <Class>_ConstPtr from <Class>_Ptr of the
// same class. A ZRMUtLine_Ptr does NOT convert to a ZRMUtGeometry_Ptr, not even by direct
// construction. To move between classes, go through the raw pointer:
//     ZRMUtGeometry_Ptr geometry(line.Ptr());            // up: a second reference on the line
//     ZRMUtLine_Ptr back(geometry->AsLine());            // down: exact class or null
// The constructor and the assignment from a raw pointer accept a pointer to the class or to a
// class derived from it; the constructor is explicit, so a raw pointer never becomes owned by a
// handle without being named. Never hand a geometry that lives on the stack or inside another
// object to a handle: the last release would delete it.
//
// Counting takes no locks: an object and its handles are used by one thread at a time.
#ifndef ZRMUtGeomHandles_h
#define ZRMUtGeomHandles_h

#include "ZRMUtSmartBase.h"

#include <cstddef>
#include <functional>
#include <type_traits>

class ZRMUtGeometry;
class ZRMUtArc;
class ZRMUtBSpline;
class ZRMUtCSys;
class ZRMUtCircle;
class ZRMUtCone;
class ZRMUtCylinder;
class ZRMUtEllipse;
class ZRMUtLine;
class ZRMUtPlane;
class ZRMUtPoint;
class ZRMUtSphere;
class ZRMUtTorus;

// The handle on a geometry of class T (const T for the _ConstPtr handles), as described above.
template <class T>
class ZRMUtGeomHandle {
  // A raw pointer P* is accepted when it converts to T* (the class itself or a derived class).
  template <class P>
  using EnableFromRaw = std::enable_if_t<std::is_convertible_v<P*, T*>, int>;
  // The const handle of a class is built from the non-const handle of the same class.
  template <class U>
  using EnableFromMutable = std::enable_if_t<std::is_const_v<T> && std::is_same_v<const U, T>, int>;

public:
  // Empty handle.
  ZRMUtGeomHandle() noexcept : mPtr(nullptr) {}
  // Empty handle, from nullptr.
  explicit ZRMUtGeomHandle(std::nullptr_t) noexcept : mPtr(nullptr) {}

  // Takes one reference on the object (none for null).
  template <class P, EnableFromRaw<P> = 0>
  explicit ZRMUtGeomHandle(P* pointer) : mPtr(pointer) {
    ZRMUtIntrusivePtrAddRef(mPtr);
  }

  // Holds other's object, with a reference of its own (none for null).
  ZRMUtGeomHandle(const ZRMUtGeomHandle& other) : mPtr(other.mPtr) { ZRMUtIntrusivePtrAddRef(mPtr); }

  // <Class>_ConstPtr from <Class>_Ptr.
  template <class U, EnableFromMutable<U> = 0>
  ZRMUtGeomHandle(const ZRMUtGeomHandle<U>& other) : mPtr(other.Ptr()) {
    ZRMUtIntrusivePtrAddRef(mPtr);
  }

  // Releases the held reference.
  ~ZRMUtGeomHandle() { ZRMUtIntrusivePtrRelease(mPtr); }

  // Adds the new reference before releasing the old one, so self-assignment and assignment of
  // the pointer already held keep the object alive.
  ZRMUtGeomHandle& operator=(const ZRMUtGeomHandle& other) { return Assign(other.mPtr); }

  // <Class>_ConstPtr := <Class>_Ptr, in the same order of counting.
  template <class U, EnableFromMutable<U> = 0>
  ZRMUtGeomHandle& operator=(const ZRMUtGeomHandle<U>& other) {
    return Assign(other.Ptr());
  }

  // Holds pointer's object (one reference taken) instead of the old one (released).
  template <class P, EnableFromRaw<P> = 0>
  ZRMUtGeomHandle& operator=(P* pointer) {
    return Assign(pointer);
  }
  // Releases the held reference; the handle is empty afterwards.
  ZRMUtGeomHandle& operator=(std::nullptr_t) { return Assign(nullptr); }

  //@{
  // Identity of the held objects.
  bool operator==(const ZRMUtGeomHandle& other) const noexcept { return mPtr == other.mPtr; }
  bool operator!=(const ZRMUtGeomHandle& other) const noexcept { return mPtr != other.mPtr; }
  //@}
  // Order of the held addresses; a strict weak order usable as a map key (null first).
  bool operator<(const ZRMUtGeomHandle& other) const noexcept { return std::less<T*>()(mPtr, other.mPtr); }

  //@{
  // The held pointer (null for an empty handle); no count changes.
  T* Ptr() const noexcept { return mPtr; }
  operator T*() const noexcept { return mPtr; }
  T* operator->() const noexcept { return mPtr; }
  //@}
  // The handle must not be empty.
  T& operator*() const noexcept { return *mPtr; }

  // Releases the held reference; the handle is empty afterwards.
  void Reset() {
    T* old = mPtr;
    mPtr = nullptr;
    ZRMUtIntrusivePtrRelease(old);
  }

  // Exchanges the held pointers; no count changes.
  void swap(ZRMUtGeomHandle& other) noexcept {
    T* mine = mPtr;
    mPtr = other.mPtr;
    other.mPtr = mine;
  }

private:
  // Add-reference on the new pointer, store it, release the old one.
  ZRMUtGeomHandle& Assign(T* pointer) {
    ZRMUtIntrusivePtrAddRef(pointer);
    T* old = mPtr;
    mPtr = pointer;
    ZRMUtIntrusivePtrRelease(old);
    return *this;
  }

  T* mPtr;  // null, or one reference owned on *mPtr
};

//@{
// The handle pairs of the geometry classes: <Class>_Ptr and <Class>_ConstPtr.
using ZRMUtGeometry_Ptr = ZRMUtGeomHandle<ZRMUtGeometry>;
using ZRMUtGeometry_ConstPtr = ZRMUtGeomHandle<const ZRMUtGeometry>;
using ZRMUtArc_Ptr = ZRMUtGeomHandle<ZRMUtArc>;
using ZRMUtArc_ConstPtr = ZRMUtGeomHandle<const ZRMUtArc>;
using ZRMUtBSpline_Ptr = ZRMUtGeomHandle<ZRMUtBSpline>;
using ZRMUtBSpline_ConstPtr = ZRMUtGeomHandle<const ZRMUtBSpline>;
using ZRMUtCSys_Ptr = ZRMUtGeomHandle<ZRMUtCSys>;
using ZRMUtCSys_ConstPtr = ZRMUtGeomHandle<const ZRMUtCSys>;
using ZRMUtCircle_Ptr = ZRMUtGeomHandle<ZRMUtCircle>;
using ZRMUtCircle_ConstPtr = ZRMUtGeomHandle<const ZRMUtCircle>;
using ZRMUtCone_Ptr = ZRMUtGeomHandle<ZRMUtCone>;
using ZRMUtCone_ConstPtr = ZRMUtGeomHandle<const ZRMUtCone>;
using ZRMUtCylinder_Ptr = ZRMUtGeomHandle<ZRMUtCylinder>;
using ZRMUtCylinder_ConstPtr = ZRMUtGeomHandle<const ZRMUtCylinder>;
using ZRMUtEllipse_Ptr = ZRMUtGeomHandle<ZRMUtEllipse>;
using ZRMUtEllipse_ConstPtr = ZRMUtGeomHandle<const ZRMUtEllipse>;
using ZRMUtLine_Ptr = ZRMUtGeomHandle<ZRMUtLine>;
using ZRMUtLine_ConstPtr = ZRMUtGeomHandle<const ZRMUtLine>;
using ZRMUtPlane_Ptr = ZRMUtGeomHandle<ZRMUtPlane>;
using ZRMUtPlane_ConstPtr = ZRMUtGeomHandle<const ZRMUtPlane>;
using ZRMUtPoint_Ptr = ZRMUtGeomHandle<ZRMUtPoint>;
using ZRMUtPoint_ConstPtr = ZRMUtGeomHandle<const ZRMUtPoint>;
using ZRMUtSphere_Ptr = ZRMUtGeomHandle<ZRMUtSphere>;
using ZRMUtSphere_ConstPtr = ZRMUtGeomHandle<const ZRMUtSphere>;
using ZRMUtTorus_Ptr = ZRMUtGeomHandle<ZRMUtTorus>;
using ZRMUtTorus_ConstPtr = ZRMUtGeomHandle<const ZRMUtTorus>;
//@}

#endif
