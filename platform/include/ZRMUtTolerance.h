// ZRMUtTolerance: the platform's modelling tolerances, read from a default-constructed object.
//
// Values (lengths in model units, angles in radians); they are defined here and nowhere else:
//   AbsoluteTol      1e-10   numeric zero for coefficients, pivots and component comparisons
//   LengthTol        1e-6    two lengths closer than this are the same length
//   LengthTolSq      1e-12   LengthTol squared, for comparisons of squared distances
//   ModelResolution  1e-6    smallest distance the model distinguishes between points
//   ZeroAngle        1e-9    an angle smaller than this is zero
// Comparisons against a tolerance are strict at the call site.
#ifndef ZRMUtTolerance_h
#define ZRMUtTolerance_h

class ZRMUtTolerance {
public:
  constexpr ZRMUtTolerance() = default;

  constexpr double AbsoluteTol() const { return 1e-10; }
  constexpr double LengthTol() const { return 1e-6; }
  constexpr double LengthTolSq() const { return 1e-12; }
  constexpr double ModelResolution() const { return 1e-6; }
  constexpr double ZeroAngle() const { return 1e-9; }
};

#endif
