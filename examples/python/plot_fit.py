"""Fits a bundled section with 8 control points and plots, for thickness and
camber, the data, the fit and their difference.

    python3 examples/python/plot_fit.py examples/naca2412.dat fit.png
"""
import sys

import matplotlib

matplotlib.use("Agg")  # no display needed
import matplotlib.pyplot as plt
import tarvelo

section = tarvelo.read_section(sys.argv[1])
fit = tarvelo.fit_section(section, 8)

fig, axes = plt.subplots(2, 2, figsize=(10, 6), sharex=True)
for row, (name, curve, data) in enumerate(
    [("thickness", fit.thickness, section.thickness), ("camber", fit.camber, section.camber)]
):
    scale = curve.ymax if curve.ymax > 0 else 1.0
    axes[row, 0].plot(section.x, data / scale, "o", label="data")
    axes[row, 0].plot(fit.x, curve.fitted, "-", label="fit")
    axes[row, 0].set_ylabel(f"{name} (normalised)")
    axes[row, 0].legend()
    axes[row, 1].plot(fit.x, curve.difference * scale, ".-")
    axes[row, 1].set_ylabel(f"{name} fit - data (chord)")
    axes[row, 1].set_title(f"R.M.S. {curve.rms:.2e}, largest {curve.max_deviation:.2e}")
for ax in axes[1]:
    ax.set_xlabel("x / chord")
fig.suptitle(section.id_line)
fig.tight_layout()
fig.savefig(sys.argv[2])
