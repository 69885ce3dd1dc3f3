// mainactions
