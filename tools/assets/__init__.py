"""Builders for the game's models, images and fonts (see tools/make_assets.py)."""
