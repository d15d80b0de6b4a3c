// ZRMUtSplineCondition: the record of the conditions under which a spline is built or edited.
//
// Per integer index (the caller's point index) it keeps, each in its own ordered map: the ids of
// the entities fixing a tangent or a second derivative there, the numeric values going with
// them (tangential speed, tangent angle, second-derivative norm, handle ratio), handle
// dimensions and tangent handle ends; beside them the caller's pointer companions of the id
// maps, a few flags, the degree, a parameterisation mode, closure data and the B-spline itself,
// held by value. The record only stores and returns this data; nothing in it interprets it.
//
// Map operations: Add inserts or overwrites (one value per key and map); Has copies a present
// value out and returns true, and on absence returns false, setting an id output to -1 but
// leaving a double output as it was; Remove erases (an absent key changes nothing); Get returns
// the map itself for the caller to read and change. The tangent angles are written only.
// Count() adds the sizes of the tangent lines, tangential speeds, second-derivative lines and
// second-derivative norms; the other maps do not count.
//
// The pointer maps are filled by the caller (typically with the objects it resolved for the ids)
// through their getters; the record never dereferences, frees or checks those pointers.
//
// A new record: every map empty, degree 3, parameterisation mode 1, the creating flag set and
// every other flag clear, closure point (0, 0, 0), closure vector (1, 0, 0), closure value 0,
// and a default B-spline. No setter validates its value.
#ifndef ZRMUtSplineCondition_h
#define ZRMUtSplineCondition_h

#include "ZRMMathematicsExport.h"
#include "ZRMUtBSpline.h"
#include "ZRMUtUniqueId.h"

#include "KRNMathPoint.h"
#include "KRNMathVector.h"
#include "ZRMUtLess.h"
#include "ZRMUtMap.h"
#include "ZRMUtPair.h"

#include <cstdint>

class ZRMMATH_API ZRMUtSplineCondition {
public:
  // How the spline's parameters are chosen; stored and returned, never interpreted. Our choice
  // of enumerators: the usual parameterisations, with chord length (1) as the default.
  enum ZRMUtParameterizationMode : std::int32_t {
    ParameterizationUniform = 0,
    ParameterizationChordLength = 1,
    ParameterizationCentripetal = 2
  };

  //@{
  // The map types of the record, each keyed by the point index: an id, a value, a caller's
  // pointer, a pair of ids, a pair of caller's pointers.
  using IdMap = ZRMUtMap<int, ZRMUtUniqueId, ZRMUtLess<int>>;
  using ValueMap = ZRMUtMap<int, double, ZRMUtLess<int>>;
  using PointerMap = ZRMUtMap<int, void*, ZRMUtLess<int>>;
  using IdPairMap = ZRMUtMap<int, ZRMUtPair<ZRMUtUniqueId, ZRMUtUniqueId>, ZRMUtLess<int>>;
  using PointerPairMap = ZRMUtMap<int, ZRMUtPair<void*, void*>, ZRMUtLess<int>>;
  //@}

  ZRMUtSplineCondition();
  virtual ~ZRMUtSplineCondition();

  // Tangent angles (written only).
  void AddTangentAngles(int index, double angle);

  //@{
  // Tangent lines: the id of the line fixing the tangent at an index (Add, Has, Remove, Get as
  // described above).
  void AddTangentLines(int index, ZRMUtUniqueId& id);
  bool HasTangentLine(int index, ZRMUtUniqueId& id);
  void RemoveTangentLine(int index);
  IdMap& GetTangentLines();
  //@}

  //@{
  // Tangential speeds: the speed along the tangent at an index (Add, Has, Remove, Get as
  // described above).
  void AddTangentialSpeeds(int index, double speed);
  bool HasTangentialSpeed(int index, double& speed);
  void RemoveTangentialSpeeds(int index);
  ValueMap& GetTangentialSpeeds();
  //@}

  //@{
  // Second-derivative lines: the id of the line fixing the second derivative's direction at an
  // index (Add, Has, Remove, Get as described above).
  void AddSecondDerivativeLines(int index, ZRMUtUniqueId& id);
  bool HasSecondDerivativeLine(int index, ZRMUtUniqueId& id);
  void RemoveSecondDerivativeLines(int index);
  IdMap& GetSecondDerivativeLines();
  //@}

  //@{
  // Second-derivative norms: the length of the second derivative at an index (Add, Has, Remove,
  // Get as described above).
  void AddSecondDerivativeNorms(int index, double norm);
  bool HasSecondDerivativeNorm(int index, double& norm);
  void RemoveSecondDerivativeNorms(int index);
  ValueMap& GetSecondDerivativeNorms();
  //@}

  //@{
  // The caller's companions of the tangent lines and the second-derivative lines.
  PointerMap& GetTangentLinePointers();
  PointerMap& GetSecondDerivativeLinePointers();
  //@}

  //@{
  // Tangent handle ends: the pair (first, second) per index, and the caller's companions.
  void AddTangentHandleEnds(int index, ZRMUtUniqueId& first, ZRMUtUniqueId& second);
  IdPairMap& GetTangentHandleEnds();
  PointerPairMap& GetTangentHandleEndsPointers();
  //@}

  //@{
  // Handle ratios: a ratio per index (Add, Get as described above).
  void AddHandleRatios(int index, double ratio);
  ValueMap& GetHandleRatios();
  //@}

  //@{
  // Handle dimensions: the id of the dimension on the handle at an index (Add, Has, Remove, Get
  // as described above), and the caller's companions.
  void AddHandleDims(int index, ZRMUtUniqueId& id);
  bool HasHandleDim(int index, ZRMUtUniqueId& id);
  void RemoveHandleDim(int index);
  IdMap& GetHandleDims();
  PointerMap& GetHandleDimPointers();
  //@}

  // Number of entries in the tangent lines, tangential speeds, second-derivative lines and
  // second-derivative norms together (a key in two of them counts twice).
  int Count() const;

  //@{
  // The degree, the parameterisation mode and the flags (to normalise, periodic, solver entity,
  // full clamping, creating), stored and returned as given.
  int GetDegree() const { return mDegree; }
  void SetDegree(int degree) { mDegree = degree; }
  ZRMUtParameterizationMode GetParameterizationMode() { return mParameterizationMode; }
  void SetParameterizationMode(ZRMUtParameterizationMode mode) { mParameterizationMode = mode; }
  bool ToNormalise() { return mToNormalise; }
  void SetToNormalise(bool toNormalise) { mToNormalise = toNormalise; }
  bool IsPeriodic() const { return mIsPeriodic; }
  void SetIsPeriodic(bool isPeriodic) { mIsPeriodic = isPeriodic; }
  bool IsSolverEntity() const { return mIsSolverEntity; }
  void SetIsSolverEntity(bool isSolverEntity) { mIsSolverEntity = isSolverEntity; }
  bool UseFullClamping() const { return mUseFullClamping; }
  void SetUseFullClamping(bool useFullClamping) { mUseFullClamping = useFullClamping; }
  bool IsCreating() const { return mIsCreating; }
  void SetIsCreating(bool isCreating) { mIsCreating = isCreating; }
  //@}

  //@{
  // Closure data of a closed spline: a point, a vector and a value, stored as given.
  void SetClosureData(const KRNMathPoint& point, const KRNMathVector& vector, double value);
  void GetClosureData(KRNMathPoint& point, KRNMathVector& vector, double& value);
  //@}

  // The stored spline := spline (B-spline assignment); the record keeps its own copy.
  void SetGeom(const ZRMUtBSpline& spline);
  // spline := the stored spline (B-spline assignment).
  void GetGeom(ZRMUtBSpline& spline);

private:
  ValueMap mTangentAngles;
  IdMap mTangentLines;
  ValueMap mTangentialSpeeds;
  IdMap mSecondDerivativeLines;
  ValueMap mSecondDerivativeNorms;
  PointerMap mTangentLinePointers;
  PointerMap mSecondDerivativeLinePointers;
  bool mToNormalise = false;
  bool mIsPeriodic = false;
  std::int32_t mDegree = 3;
  ZRMUtParameterizationMode mParameterizationMode = ParameterizationChordLength;
  IdPairMap mTangentHandleEnds;
  PointerPairMap mTangentHandleEndsPointers;
  ValueMap mHandleRatios;
  IdMap mHandleDims;
  PointerMap mHandleDimPointers;
  bool mIsSolverEntity = false;
  bool mUseFullClamping = false;
  bool mIsCreating = true;
  KRNMathPoint mClosurePoint;  // (0, 0, 0)
  KRNMathVector mClosureVector{1.0, 0.0, 0.0};
  double mClosureValue = 0.0;
  ZRMUtBSpline mGeom;
};

#endif
