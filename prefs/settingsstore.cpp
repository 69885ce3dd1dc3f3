// settingsstore
